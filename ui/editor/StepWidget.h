#pragma once

#include "method/Step.h"

#include <QWidget>

class NodeWidget;
class QPushButton;

namespace Ui {
class StepWidget;
}

// One stage of the program: a header button and its holds side by side. The kinds below decide
// what a stage may hold and how it reads back as a Step.
class StepWidget : public QWidget
{
    Q_OBJECT
public:
    explicit StepWidget(Step::STEP_TYPE type, int maxNodes, QWidget* parent = nullptr);
    ~StepWidget() override;

    virtual QPushButton* pushButton() const;
    // Inserts a hold with the defaults at index; false when the stage has as many holds as may be
    // added by hand.
    virtual bool insertNodeWidget(int index);
    virtual void setStepData(const Step&) {}
    virtual Step getStepData() const { return Step(); }

    Step::STEP_TYPE getMStepType() const { return mType; }
    int getMMaxNodeCount() const { return mMaxNodes; }
    const QVector<NodeWidget*>& nodes() const { return mNodes; }
    void removeNode(int index);

signals:
    // A hold was added, removed or moved: the program drawing follows.
    void signalChanged();

protected:
    void setNodes(const QVector<Node>& nodes);
    // This stage as a Step: its kind, the given repeat count and its holds.
    Step stepWith(int cycleCount) const;
    // Called for every new hold; a cycle stage puts its reading box into its exclusive group.
    virtual void nodeAdded(NodeWidget*) {}

    Ui::StepWidget* ui;
    QVector<NodeWidget*> mNodes;

private:
    void addNodeWidget(int index);

    Step::STEP_TYPE mType;
    int mMaxNodes;
};
