#pragma once

#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

class Tooltip;

// Both heater temperatures against the run time: upper heater red, lower heater green. Times come
// in the module's steps (its seconds) and are drawn in seconds at the pace the modules are played,
// so the axis agrees with the status line's elapsed time.
class ZTimeChart : public QtCharts::QChartView
{
    Q_OBJECT
public:
    explicit ZTimeChart(QWidget* parent = nullptr);

    // A sample with either temperature outside 0 to 120 degC is a misreading and is not drawn.
    void addCurrentTemp(double step, double up, double down);
    void setStepMs(int stepMs);
    void reset();
    QVector<QPointF> getTimeUpLine() const { return mUp->pointsVector(); }
    QVector<QPointF> getTimeDownLine() const { return mDown->pointsVector(); }
    void setTimeLines(const QVector<QPointF>& up, const QVector<QPointF>& down);

    QtCharts::QValueAxis* axisX() const { return mAxisX; }

public slots:
    void slotSeriesHovered(QPointF point, bool state);

private:
    QVector<QPointF> inSeconds(QVector<QPointF> points) const;

    double mSecondsPerStep = 1.0;
    QtCharts::QValueAxis* mAxisX;
    QtCharts::QValueAxis* mAxisY;
    QtCharts::QLineSeries* mUp;
    QtCharts::QLineSeries* mDown;
    Tooltip* mTip;
};
