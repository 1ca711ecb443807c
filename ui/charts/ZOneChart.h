#pragma once

#include "ui/charts/ZOriginChart.h"

// One curve and a horizontal threshold line, for the analysis settings of one hole and channel.
class ZOneChart : public ZOriginChart
{
    Q_OBJECT
public:
    explicit ZOneChart(QWidget* parent = nullptr);

    void setLine(const QVector<QPointF>& curve, double threshold, int show);
    // show 1 draws the line, anything else leaves none.
    void setThresholdLine(double threshold, int show);

    QtCharts::QLineSeries* curveSeries() const { return mCurve; }
    QtCharts::QLineSeries* thresholdSeries() const { return mThreshold; }

public slots:
    void slotSeriesHovered(QPointF point, bool state);

private:
    QtCharts::QLineSeries* mCurve;
    QtCharts::QLineSeries* mThreshold;
};
