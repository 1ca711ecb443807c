#include "ui/editor/MeltWidget.h"

#include "app/UI.h"

#include <QPushButton>

MeltWidget::MeltWidget(QWidget* parent) : StepWidget(Step::STEP_MELT, 2, parent)
{
    pushButton()->setText(UI::StepInfo.value(2));
}

void MeltWidget::setStepData(const Step& step)
{
    pushButton()->setText(UI::StepInfo.value(2));
    setNodes(step.NodeList);
}

Step MeltWidget::getStepData() const
{
    Step step;
    step.StepType = Step::STEP_MELT;
    step.CycleCount = 0;
    step.NodeList = nodeData();
    return step;
}
