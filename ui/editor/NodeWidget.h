#pragma once

#include "method/Node.h"

#include <QWidget>

class QCheckBox;
class QDoubleSpinBox;
class QPushButton;
class QSpinBox;
class TempSlider;

namespace Ui {
class NodeWidget;
}

// One hold of a stage: its temperature on a slider and in a box (kept equal), its time, and the
// button that selects it.
class NodeWidget : public QWidget
{
    Q_OBJECT
public:
    explicit NodeWidget(bool inCycle, QWidget* parent = nullptr);
    ~NodeWidget() override;

    void setNode(const Node& node);
    // Test is only meaningful in a cycle stage and reads false elsewhere.
    Node node() const;

    QPushButton* button() const;
    QCheckBox* testBox() const;
    TempSlider* slider() const;
    QDoubleSpinBox* tempBox() const;
    QSpinBox* timeBox() const;

signals:
    // The temperature moved: the program drawing follows.
    void signalChanged();

private:
    Ui::NodeWidget* ui;
    bool mInCycle;
};
