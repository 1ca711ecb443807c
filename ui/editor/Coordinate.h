#pragma once

#include "method/Flow.h"
#include "method/Node.h"

#include <QWidget>

class NodeWidget;
class QButtonGroup;
class QPushButton;
class StepWidget;

namespace Ui {
class Coordinate;
}

// The graphical editor of a temperature program: its stages left to right, each hold a slider with
// its temperature and time, a temperature scale at the left and the program drawn through the
// holds. Exactly one stage header or hold is selected at a time; stages and holds are added and
// removed relative to it, under the rules a run list needs (one cycle stage, one melt stage after
// it, at most 10 stages and 5 holds a stage).
class Coordinate : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MaxSteps = 10;

    explicit Coordinate(QWidget* parent = nullptr);
    ~Coordinate() override;

    // Wires a dialog's six editor buttons, in the order: constant stage, cycle stage, melt stage,
    // hold before, hold after, delete.
    void connectCommands(const QVector<QPushButton*>& buttons);

    void setMethodFlow(const Flow& flow);
    Flow getMethodFlow() const;

    int currentStepIndex() const;
    int currentNodeIndex() const;
    StepWidget* currentWidget() const;
    const QVector<StepWidget*>& steps() const { return mSteps; }
    const QVector<NodeWidget*>& nodeList() const { return mNodes; }

public slots:
    void insertConstWidget();
    void insertCycleWidget();
    void insertMeltWidget();
    void insertPreViewNode();
    void insertAfterNode();
    void delStepWidget();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void addStep(StepWidget* step, int position);
    StepWidget* addTwoHoldStep(StepWidget* step, int position, const Node& first, const Node& second);
    bool hasStep(int type, int from, int to) const;
    void insertNode(int offset);
    // The stage holding the selected hold and its index within it; false when none is selected.
    bool selectedNode(StepWidget*& step, int& index) const;
    void rebuildNodeList();

    Ui::Coordinate* ui;
    QVector<StepWidget*> mSteps;
    QVector<NodeWidget*> mNodes;
    QButtonGroup* mGroup;
};
