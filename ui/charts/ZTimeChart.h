#pragma once

#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

class Tooltip;

// Both heater temperatures against the run time: upper heater red, lower heater green.
class ZTimeChart : public QtCharts::QChartView
{
    Q_OBJECT
public:
    explicit ZTimeChart(QWidget* parent = nullptr);

    // A sample with either temperature outside 0 to 120 degC is a misreading and is not drawn.
    void addCurrentTemp(double time, double up, double down);
    void reset();
    QVector<QPointF> getTimeUpLine() const { return mUp->pointsVector(); }
    QVector<QPointF> getTimeDownLine() const { return mDown->pointsVector(); }
    void setTimeUpLine(const QVector<QPointF>& points);
    void setTimeDownLine(const QVector<QPointF>& points);
    void setTimeLines(const QVector<QPointF>& up, const QVector<QPointF>& down);

    QtCharts::QValueAxis* axisX() const { return mAxisX; }

public slots:
    void slotSeriesHovered(QPointF point, bool state);

private:
    QtCharts::QValueAxis* mAxisX;
    QtCharts::QValueAxis* mAxisY;
    QtCharts::QLineSeries* mUp;
    QtCharts::QLineSeries* mDown;
    Tooltip* mTip;
};
