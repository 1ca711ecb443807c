#include "ui/editor/NodeWidget.h"

#include "ui_NodeWidget.h"

#include <cmath>

NodeWidget::NodeWidget(bool inCycle, QWidget* parent) : QWidget(parent), ui(new Ui::NodeWidget), mInCycle(inCycle)
{
    ui->setupUi(this);
    ui->vSlider->setTestVisible(inCycle);
    connect(ui->vSlider, &QSlider::valueChanged, this, [this](int v) {
        ui->dSpin->setValue(v / 100.0);
        emit signalChanged();
    });
    connect(ui->dSpin, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            [this](double t) { ui->vSlider->setValue(int(std::lround(t * 100))); });
}

NodeWidget::~NodeWidget()
{
    delete ui;
}

void NodeWidget::setNode(const Node& node)
{
    ui->spin->setValue(node.Time);
    ui->dSpin->setValue(node.Temp);
    ui->vSlider->testBox()->setChecked(node.Test);
}

Node NodeWidget::node() const
{
    return Node{ui->spin->value(), ui->dSpin->value(), mInCycle && ui->vSlider->testBox()->isChecked()};
}

QPushButton* NodeWidget::button() const
{
    return ui->pBn;
}

QCheckBox* NodeWidget::testBox() const
{
    return ui->vSlider->testBox();
}

TempSlider* NodeWidget::slider() const
{
    return ui->vSlider;
}

QDoubleSpinBox* NodeWidget::tempBox() const
{
    return ui->dSpin;
}

QSpinBox* NodeWidget::timeBox() const
{
    return ui->spin;
}
