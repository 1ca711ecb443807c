#pragma once

#include "ui/editor/StepWidget.h"

// A constant stage: its holds played once.
class ConstWidget : public StepWidget
{
    Q_OBJECT
public:
    explicit ConstWidget(QWidget* parent = nullptr);

    void setStepData(const Step& step) override;
    Step getStepData() const override;
};
