#pragma once

#include "ui/editor/StepWidget.h"

// A constant stage: its holds played once (read back with a repeat count of 1, whatever it was).
class ConstWidget : public StepWidget
{
    Q_OBJECT
public:
    explicit ConstWidget(QWidget* parent = nullptr) : StepWidget(Step::STEP_CONSTANT, 5, parent) {}

    void setStepData(const Step& step) override { setNodes(step.NodeList); }
    Step getStepData() const override { return stepWith(1); }
};
