#include "ui/editor/ConstWidget.h"

#include "app/UI.h"

#include <QPushButton>

ConstWidget::ConstWidget(QWidget* parent) : StepWidget(Step::STEP_CONSTANT, 5, parent)
{
    pushButton()->setText(UI::StepInfo.value(0));
}

void ConstWidget::setStepData(const Step& step)
{
    pushButton()->setText(UI::StepInfo.value(0));
    setNodes(step.NodeList);
}

Step ConstWidget::getStepData() const
{
    Step step;
    step.StepType = Step::STEP_CONSTANT;
    step.CycleCount = 1;
    step.NodeList = nodeData();
    return step;
}
