#include "ui/charts/ZOneChart.h"

#include "ui/charts/Tooltip.h"

using namespace QtCharts;

ZOneChart::ZOneChart(QWidget* parent) : ZOriginChart(parent), mCurve(new QLineSeries(this)), mThreshold(new QLineSeries(this))
{
    initPenList(1);
    mCurve->setPen(mPens[0]);
    for (QLineSeries* s : {mCurve, mThreshold}) {
        chart()->addSeries(s);
        s->attachAxis(mAxisX);
        s->attachAxis(mAxisY);
    }
    connect(mCurve, &QLineSeries::hovered, this, &ZOneChart::slotSeriesHovered);
}

void ZOneChart::setLine(const QVector<QPointF>& curve, double threshold, int show)
{
    mCurve->replace(curve);
    double low = 3000, high = 0;
    for (const QPointF& p : curve) {
        low = qMin(low, p.y());
        high = qMax(high, p.y());
    }
    mAxisY->setRange(low - 10, high + 300);
    mAxisX->setMax(curve.size());
    // The corrected curve, or the raw one, as the dialog shows it.
    mAxisY->setTitleText(show ? QStringLiteral("ΔRn") : QStringLiteral("Fn"));
    setThresholdLine(threshold, show);
}

void ZOneChart::setThresholdLine(double threshold, int show)
{
    mThreshold->clear();
    if (show != 1)
        return;
    mThreshold->setPen(QPen(Qt::black, 1, Qt::SolidLine));
    QVector<QPointF> points;
    for (int i = 0; i < 200; ++i)
        points << QPointF(i, threshold);
    mThreshold->replace(points);
}

void ZOneChart::slotSeriesHovered(QPointF point, bool state)
{
    if (!state) {
        mTip->hide();
        return;
    }
    mTip->showAt(point, QStringLiteral("X: %1 \nY: %2 ").arg(point.x()).arg(point.y()));
}
