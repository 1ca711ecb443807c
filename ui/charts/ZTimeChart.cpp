#include "ui/charts/ZTimeChart.h"

#include "ui/charts/AxisTicks.h"
#include "ui/charts/Tooltip.h"

#include <cmath>

using namespace QtCharts;

ZTimeChart::ZTimeChart(QWidget* parent)
    : QChartView(new QChart, parent), mAxisX(new QValueAxis(this)), mAxisY(new QValueAxis(this)),
      mUp(new QLineSeries(this)), mDown(new QLineSeries(this)), mTip(new Tooltip(chart()))
{
    setRenderHint(QPainter::Antialiasing);
    mAxisX->setRange(0, 600);
    AxisTicks::keepRound(chart(), mAxisX, 6, "%d");
    mAxisX->setTitleText(QStringLiteral("时间(s)"));
    mAxisY->setRange(0, 100);
    mAxisY->setTickCount(11);
    mAxisY->setLabelFormat("%d");
    mAxisY->setTitleText(QStringLiteral("温度(℃)"));
    for (QValueAxis* axis : {mAxisX, mAxisY}) {
        QFont font = axis->labelsFont();
        font.setPixelSize(13);
        axis->setLabelsFont(font);
        axis->setTitleFont(font);
    }
    chart()->addAxis(mAxisX, Qt::AlignBottom);
    chart()->addAxis(mAxisY, Qt::AlignLeft);
    // The lower heater is drawn first and wider, so that where the two agree the red trace lies on
    // the green one and both stay visible.
    mUp->setPen(QPen(Qt::red, 2));
    mDown->setPen(QPen(QColor(0, 190, 0), 5));
    mUp->setName(QStringLiteral("上加热(红)"));
    mDown->setName(QStringLiteral("下加热(绿)"));
    for (QLineSeries* s : {mDown, mUp}) {
        chart()->addSeries(s);
        s->attachAxis(mAxisX);
        s->attachAxis(mAxisY);
        connect(s, &QLineSeries::hovered, this, &ZTimeChart::slotSeriesHovered);
    }
    chart()->legend()->setAlignment(Qt::AlignTop);
    chart()->setMargins(QMargins(4, 4, 4, 4));
}

void ZTimeChart::setStepMs(int stepMs)
{
    // The axis spans and ticks of the real pace, shrunk with the time a run takes.
    mSecondsPerStep = stepMs > 0 ? stepMs / 1000.0 : 1.0;
    if (mUp->count() == 0)
        mAxisX->setRange(0, 600 * mSecondsPerStep);
}

void ZTimeChart::addCurrentTemp(double step, double up, double down)
{
    if (up < 0 || up > 120 || down < 0 || down > 120)
        return;
    const double time = step * mSecondsPerStep;
    mUp->append(time, up);
    mDown->append(time, down);
    if (time > mAxisX->max() || mAxisX->min() != 0)
        mAxisX->setRange(0, time + 200 * mSecondsPerStep);
    mAxisY->setRange(0, 100);
}

void ZTimeChart::reset()
{
    mUp->clear();
    mDown->clear();
}

QVector<QPointF> ZTimeChart::inSeconds(QVector<QPointF> points) const
{
    for (QPointF& p : points)
        p.setX(p.x() * mSecondsPerStep);
    return points;
}

void ZTimeChart::setTimeLines(const QVector<QPointF>& up, const QVector<QPointF>& down)
{
    mUp->replace(inSeconds(up));
    mDown->replace(inSeconds(down));
    mAxisX->setRange(0, (up.isEmpty() ? 600 : up.last().x()) * mSecondsPerStep);
    mAxisY->setRange(0, 100);
}

void ZTimeChart::slotSeriesHovered(QPointF point, bool state)
{
    if (!state) {
        mTip->hide();
        return;
    }
    const auto* series = qobject_cast<QLineSeries*>(sender());
    const QString name = series && series->pen().color() == QColor(Qt::red) ? QStringLiteral("红色") : QStringLiteral("绿色");
    mTip->showAt(point, QStringLiteral("%0\nX: %1 \nY: %2 ").arg(name).arg(std::lround(point.x())).arg(point.y()));
}
