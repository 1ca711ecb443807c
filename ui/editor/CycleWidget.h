#pragma once

#include "ui/editor/StepWidget.h"

class QButtonGroup;

// An amplification stage: its holds repeated CycleCount times, at most one of them ending in a
// reading. The count changes with the wheel over the header (1 to 100) or, on a right click,
// through the number dialog.
class CycleWidget : public StepWidget
{
    Q_OBJECT
public:
    explicit CycleWidget(QWidget* parent = nullptr);

    void setStepData(const Step& step) override;
    Step getStepData() const override;

    int cycleCount() const { return mCycles; }
    void setCycleCount(int count);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void nodeAdded(NodeWidget* node) override;

private:
    void askCycleCount();

    int mCycles = 40;
    QButtonGroup* mTests;
};
