#include "ui/editor/StepWidget.h"

#include "app/UI.h"
#include "ui/editor/NodeWidget.h"
#include "ui_StepWidget.h"

StepWidget::StepWidget(Step::STEP_TYPE type, int maxNodes, QWidget* parent)
    : QWidget(parent), ui(new Ui::StepWidget), mType(type), mMaxNodes(maxNodes)
{
    ui->setupUi(this);
    ui->pushButton->setText(UI::StepInfo.value(type));
}

StepWidget::~StepWidget()
{
    delete ui;
}

QPushButton* StepWidget::pushButton() const
{
    return ui->pushButton;
}

bool StepWidget::insertNodeWidget(int index)
{
    if (mNodes.size() >= mMaxNodes)
        return false;
    addNodeWidget(index);
    return true;
}

void StepWidget::addNodeWidget(int index)
{
    index = qBound(0, index, mNodes.size());
    auto* node = new NodeWidget(mType == Step::STEP_CYCLE, this);
    ui->hLayoutNodes->insertWidget(index, node);
    mNodes.insert(index, node);
    connect(node, &NodeWidget::signalChanged, this, &StepWidget::signalChanged);
    nodeAdded(node);
    emit signalChanged();
}

void StepWidget::removeNode(int index)
{
    if (index < 0 || index >= mNodes.size())
        return;
    delete mNodes.takeAt(index);
    emit signalChanged();
}

void StepWidget::setNodes(const QVector<Node>& nodes)
{
    while (!mNodes.isEmpty())
        removeNode(0);
    // Every hold the program has is shown: the limit is only on adding holds by hand, and a
    // program comes back from the editor exactly as it went in.
    for (const Node& n : nodes) {
        addNodeWidget(mNodes.size());
        mNodes.last()->setNode(n);
    }
}

Step StepWidget::stepWith(int cycleCount) const
{
    Step step;
    step.StepType = mType;
    step.CycleCount = cycleCount;
    for (const NodeWidget* n : mNodes)
        step.NodeList << n->node();
    return step;
}
