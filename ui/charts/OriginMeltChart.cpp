#include "ui/charts/OriginMeltChart.h"

#include "ui/charts/AxisTicks.h"

OriginMeltChart::OriginMeltChart(QWidget* parent) : ZNewChart(parent)
{
    mAxisX->setTitleText(QStringLiteral("℃"));
    mAxisY->setTitleText(QStringLiteral("Fn"));
    // Temperatures at round degrees, not one label every second reading.
    AxisTicks::keepRound(chart(), mAxisX, 8, "%0.2f");
}

void OriginMeltChart::setInitChart(SMethod& method)
{
    // The raw chart's empty y range: narrowed from it, the chart would draw its labels as "...".
    ZOriginChart::setInitChart(method);
    mAxisX->setRange(0, 10);
    mAxisX->setTickCount(11);
}

void OriginMeltChart::addCycleData(int step, const QVector<double>& values)
{
    const double first = mMethod.firstMeltReadingTemp();
    if (step <= 1) {
        mXMax = first;
        mAxisX->setRange(first, first + 1);
    }
    addReading(first + 0.5 * (step - 1), values);
}

void OriginMeltChart::buildSeries()
{
    createSeries(mMethod.Hole * mMethod.ChannelColor);
}

void OriginMeltChart::showReading(int index, QPointF point, bool state)
{
    setHighlight(index, state, false);
    const int c = channelCount();
    const int position = index / c + 1;
    setToolTip(state ? QStringLiteral("温度:%1℃ 值:%2\n孔位:%3（位置 %4） 靶标:%5")
                           .arg(point.x())
                           .arg(point.y())
                           .arg(mMethod.runningNumbers().value(position))
                           .arg(position)
                           .arg(mMethod.holeTargets.value(index / c).at(index % c).Name)
                     : QString());
}
