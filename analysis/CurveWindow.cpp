#include "analysis/CurveWindow.h"

namespace CurveWindow {

QVector<QPointF> points(const QVector<QPointF>& curve, int start, int end)
{
    const int from = qMax(start, 0);
    const int to = qMin(end, curve.size());
    return from < to ? curve.mid(from, to - from) : QVector<QPointF>();
}

QVector<double> values(const QVector<QPointF>& curve, int start, int end)
{
    QVector<double> out;
    for (const QPointF& p : points(curve, start, end))
        out.append(p.y());
    return out;
}

double mean(const QVector<double>& values)
{
    double sum = 0;
    for (double v : values)
        sum += v;
    return values.isEmpty() ? 0 : sum / values.size();
}

double tailMean(const QVector<QPointF>& curve, int count)
{
    return mean(values(curve, curve.size() - count, curve.size()));
}

}
