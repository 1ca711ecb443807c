#pragma once

#include "ui/editor/StepWidget.h"

// A melt stage: exactly its two bounds; their values change, their number does not.
class MeltWidget : public StepWidget
{
    Q_OBJECT
public:
    explicit MeltWidget(QWidget* parent = nullptr);

    void setStepData(const Step& step) override;
    Step getStepData() const override;
};
