#include "ui/results/QuantChartView.h"

QuantChartView::QuantChartView(QWidget* parent) : QChartView(new QtCharts::QChart, parent)
{
    setRenderHint(QPainter::Antialiasing);
    chart()->setMargins(QMargins(4, 4, 4, 4));
}

void QuantChartView::setResult(const QuantResult& q)
{
    mResult = q;
    mDrawn = false;
    if (isVisible())
        redraw();
}

void QuantChartView::showEvent(QShowEvent* event)
{
    if (!mDrawn)
        redraw();
    QChartView::showEvent(event);
}

void QuantChartView::redraw()
{
    mDrawn = true;
    chart()->removeAllSeries();
    for (QtCharts::QAbstractAxis* axis : chart()->axes())
        chart()->removeAxis(axis);
    draw(mResult);
}
