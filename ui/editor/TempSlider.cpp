#include "ui/editor/TempSlider.h"

#include <QStyle>
#include <QStyleOptionSlider>

TempSlider::TempSlider(QWidget* parent) : QSlider(Qt::Vertical, parent), mTest(new QCheckBox(this))
{
    setRange(0, 10000);
    setValue(5000);
    mTest->setToolTip(QStringLiteral("在此温度读取荧光"));
    mTest->hide();
    connect(this, &QSlider::valueChanged, this, &TempSlider::placeTestBox);
}

void TempSlider::setTestVisible(bool visible)
{
    mTest->setVisible(visible);
    placeTestBox();
}

QPoint TempSlider::handleCenterAt(int at) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.sliderPosition = at;
    option.sliderValue = at;
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this).center();
}

QPoint TempSlider::handleCenter() const
{
    return handleCenterAt(value());
}

void TempSlider::placeTestBox()
{
    const QPoint handle = handleCenter();
    mTest->move(handle.x() + 12, handle.y() - mTest->sizeHint().height() / 2);
}

void TempSlider::resizeEvent(QResizeEvent* event)
{
    QSlider::resizeEvent(event);
    placeTestBox();
}
