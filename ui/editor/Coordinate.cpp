#include "ui/editor/Coordinate.h"

#include "app/UI.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/editor/ConstWidget.h"
#include "ui/editor/CycleWidget.h"
#include "ui/editor/MeltWidget.h"
#include "ui/editor/NodeWidget.h"
#include "ui/editor/TempSlider.h"
#include "ui_Coordinate.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QPainter>
#include <QPushButton>

namespace {
StepWidget* createStep(int type)
{
    switch (type) {
    case Step::STEP_CONSTANT: return new ConstWidget;
    case Step::STEP_CYCLE: return new CycleWidget;
    case Step::STEP_MELT: return new MeltWidget;
    default: return nullptr;
    }
}
}

Coordinate::Coordinate(QWidget* parent) : QWidget(parent), ui(new Ui::Coordinate), mGroup(new QButtonGroup(this))
{
    ui->setupUi(this);
    mGroup->setExclusive(true);
}

Coordinate::~Coordinate()
{
    delete ui;
}

void Coordinate::connectCommands(const QVector<QPushButton*>& buttons)
{
    const QVector<void (Coordinate::*)()> commands = {&Coordinate::insertConstWidget, &Coordinate::insertCycleWidget,
                                                      &Coordinate::insertMeltWidget,  &Coordinate::insertPreViewNode,
                                                      &Coordinate::insertAfterNode,   &Coordinate::delStepWidget};
    for (int i = 0; i < buttons.size() && i < commands.size(); ++i)
        connect(buttons[i], &QPushButton::clicked, this, commands[i]);
}

void Coordinate::setMethodFlow(const Flow& flow)
{
    qDeleteAll(mSteps);
    mSteps.clear();
    for (const Step& s : flow.steps) {
        StepWidget* step = createStep(s.StepType);
        if (!step)
            continue; // a kind this editor does not know plays nothing either
        addStep(step, mSteps.size());
        step->setStepData(s);
    }
    rebuildNodeList();
}

Flow Coordinate::getMethodFlow() const
{
    Flow flow;
    for (const StepWidget* step : mSteps)
        flow.steps << step->getStepData();
    return flow;
}

void Coordinate::addStep(StepWidget* step, int position)
{
    step->setParent(this);
    ui->hLayout->insertWidget(position, step);
    mSteps.insert(position, step);
    mGroup->addButton(step->pushButton(), position);
    step->pushButton()->setChecked(true);
    connect(step, &StepWidget::signalChanged, this, [this] { update(); });
}

StepWidget* Coordinate::addTwoHoldStep(StepWidget* step, int position, const Node& first, const Node& second)
{
    addStep(step, position);
    step->insertNodeWidget(0);
    step->insertNodeWidget(1);
    step->nodes()[0]->setNode(first);
    step->nodes()[1]->setNode(second);
    rebuildNodeList();
    return step;
}

int Coordinate::currentStepIndex() const
{
    for (int i = 0; i < mSteps.size(); ++i)
        if (mSteps[i]->pushButton()->isChecked())
            return i;
    return mSteps.size() - 1;
}

int Coordinate::currentNodeIndex() const
{
    for (int i = 0; i < mNodes.size(); ++i)
        if (mNodes[i]->button()->isChecked())
            return i;
    return -1;
}

StepWidget* Coordinate::currentWidget() const
{
    return mSteps.value(currentStepIndex());
}

bool Coordinate::hasStep(int type, int from, int to) const
{
    for (int i = qMax(from, 0); i < to && i < mSteps.size(); ++i)
        if (int(mSteps[i]->getMStepType()) == type)
            return true;
    return false;
}

void Coordinate::insertConstWidget()
{
    if (mSteps.size() >= MaxSteps)
        return ZMessageBox::tell(this, UI::PassMaxStep.arg(MaxSteps));
    auto* step = new ConstWidget;
    addStep(step, currentStepIndex() + 1);
    step->insertNodeWidget(0);
    rebuildNodeList();
}

void Coordinate::insertCycleWidget()
{
    const int at = currentStepIndex() + 1;
    if (hasStep(Step::STEP_CYCLE, 0, mSteps.size()))
        return ZMessageBox::tell(this, UI::PassMaxCycleStep.arg(1));
    if (hasStep(Step::STEP_MELT, 0, at))
        return ZMessageBox::tell(this, UI::MeltStepOnPreview);
    StepWidget* step = addTwoHoldStep(new CycleWidget, at, Node{20, 95.0, false}, Node{20, 60.0, true});
    step->nodes()[1]->button()->setChecked(true);
}

void Coordinate::insertMeltWidget()
{
    const int at = currentStepIndex() + 1;
    if (hasStep(Step::STEP_MELT, 0, mSteps.size()))
        return ZMessageBox::tell(this, UI::PassMaxMeltStep.arg(1));
    if (hasStep(Step::STEP_CYCLE, at, mSteps.size()))
        return ZMessageBox::tell(this, UI::CycleStepOnPreview);
    addTwoHoldStep(new MeltWidget, at, Node{1, 60.0, false}, Node{1, 95.0, false});
}

bool Coordinate::selectedNode(StepWidget*& step, int& index) const
{
    const NodeWidget* selected = mNodes.value(currentNodeIndex());
    for (StepWidget* s : mSteps) {
        index = s->nodes().indexOf(const_cast<NodeWidget*>(selected));
        if (selected && index >= 0) {
            step = s;
            return true;
        }
    }
    return false;
}

void Coordinate::insertNode(int offset)
{
    StepWidget* step = nullptr;
    int index = -1;
    if (!selectedNode(step, index))
        return;
    if (step->getMStepType() == Step::STEP_MELT)
        return ZMessageBox::tell(this, UI::MaxMeltNode);
    if (step->nodes().size() >= step->getMMaxNodeCount())
        return ZMessageBox::tell(this, UI::PassMaxNode.arg(step->getMMaxNodeCount()));
    step->insertNodeWidget(index + offset);
    rebuildNodeList();
}

void Coordinate::insertPreViewNode()
{
    insertNode(0);
}

void Coordinate::insertAfterNode()
{
    insertNode(1);
}

void Coordinate::delStepWidget()
{
    if (mNodes.isEmpty())
        return ZMessageBox::tell(this, UI::DeleteEmptyInfo);
    StepWidget* step = nullptr;
    int index = -1;
    if (!selectedNode(step, index)) {
        delete mSteps.takeAt(currentStepIndex());
    } else if (step->getMStepType() == Step::STEP_MELT) {
        return ZMessageBox::tell(this, UI::MaxMeltNode);
    } else if (step->nodes().size() == 1) {
        delete mSteps.takeAt(mSteps.indexOf(step));
    } else {
        step->removeNode(index);
    }
    rebuildNodeList();
}

void Coordinate::rebuildNodeList()
{
    // Buttons of deleted holds and stages have left the group by themselves.
    mNodes.clear();
    for (StepWidget* step : mSteps)
        for (NodeWidget* node : step->nodes()) {
            mNodes << node;
            if (!mGroup->buttons().contains(node->button()))
                mGroup->addButton(node->button());
        }
    update();
}

void Coordinate::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (mNodes.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // The scale runs from the first slider's bottom (0 degC) to its top (100 degC).
    const TempSlider* first = mNodes.first()->slider();
    const int bottom = first->mapTo(this, first->handleCenterAt(0)).y();
    const int top = first->mapTo(this, first->handleCenterAt(10000)).y();
    QFont font = p.font();
    font.setPixelSize(13);
    p.setFont(font);
    p.setPen(QColor(3, 0, 74));
    for (int k = 0; k <= 4; ++k) {
        const int y = bottom + (top - bottom) * k / 4;
        p.drawLine(48, y, 58, y);
        p.drawText(QRect(0, y - 9, 46, 18), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%0℃").arg(25 * k));
    }
    // The program: a ramp into each hold, then its plateau. The first ramp starts at room
    // temperature (25 degC), where a run starts.
    p.setPen(QPen(QColor(0, 19, 255), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPoint previous(60, first->mapTo(this, first->handleCenterAt(2500)).y());
    for (const NodeWidget* node : mNodes) {
        const QPoint handle = node->slider()->mapTo(this, node->slider()->handleCenter());
        const QPoint plateauEnd(node->mapTo(this, QPoint(node->width() - 8, 0)).x(), handle.y());
        p.drawLine(previous, handle);
        p.drawLine(handle, plateauEnd);
        previous = plateauEnd;
    }
}
