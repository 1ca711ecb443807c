#include "ui/charts/OriginMeltChart.h"

OriginMeltChart::OriginMeltChart(QWidget* parent) : ZNewChart(parent)
{
    mAxisX->setTitleText(QStringLiteral("℃"));
    mAxisY->setTitleText(QStringLiteral("Fn"));
    // Temperatures at round degrees, not one label every second reading.
    keepTicksRound(mAxisX, 8, "%0.2f");
}

void OriginMeltChart::setInitChart(SMethod& method)
{
    reset();
    mMethod = method;
    mAxisX->setRange(0, 10);
    mAxisX->setTickCount(11);
    mAxisY->setRange(0, 100);
    if (method.countsInRange())
        createSeries(method.Hole * method.ChannelColor);
}

void OriginMeltChart::showReading(int index, QPointF point, bool state)
{
    setHighlight(index, state, false);
    const int c = channelCount();
    setToolTip(state ? QStringLiteral("位置:(%1,%2)\n孔位:%3 靶标:%4")
                           .arg(point.x())
                           .arg(point.y())
                           .arg(index / c + 1)
                           .arg(mMethod.holeTargets.value(index / c).at(index % c).Name)
                     : QString());
}
