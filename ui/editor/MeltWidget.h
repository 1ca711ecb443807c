#pragma once

#include "ui/editor/StepWidget.h"

// A melt stage: exactly its two bounds; their values change, their number does not.
class MeltWidget : public StepWidget
{
    Q_OBJECT
public:
    explicit MeltWidget(QWidget* parent = nullptr) : StepWidget(Step::STEP_MELT, 2, parent) {}

    void setStepData(const Step& step) override { setNodes(step.NodeList); }
    Step getStepData() const override { return stepWith(0); }
};
