#include "ui/editor/CycleWidget.h"

#include "ui/dialogs/ZInputDialog.h"
#include "ui/editor/NodeWidget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QWheelEvent>

CycleWidget::CycleWidget(QWidget* parent) : StepWidget(Step::STEP_CYCLE, 5, parent), mTests(new QButtonGroup(this))
{
    mTests->setExclusive(true);
    pushButton()->installEventFilter(this);
    setCycleCount(40);
}

void CycleWidget::setCycleCount(int count)
{
    mCycles = count;
    pushButton()->setText(QStringLiteral("循环:%0").arg(count));
}

void CycleWidget::nodeAdded(NodeWidget* node)
{
    mTests->addButton(node->testBox());
}

void CycleWidget::setStepData(const Step& step)
{
    setNodes(step.NodeList);
    setCycleCount(step.CycleCount);
}

Step CycleWidget::getStepData() const
{
    return stepWith(mCycles);
}

void CycleWidget::askCycleCount()
{
    ZInputDialog dialog(mCycles, this);
    dialog.exec();
    setCycleCount(dialog.getMValue().toInt());
}

bool CycleWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pushButton()) {
        if (event->type() == QEvent::Wheel) {
            const int notches = static_cast<QWheelEvent*>(event)->angleDelta().y() / 120;
            int count = mCycles;
            for (int i = 0; i < notches && count < 100; ++i)
                ++count;
            for (int i = 0; i > notches && count > 1; --i)
                --count;
            setCycleCount(count);
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            askCycleCount();
            return true;
        }
    }
    return StepWidget::eventFilter(watched, event);
}
