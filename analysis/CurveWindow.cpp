#include "analysis/CurveWindow.h"

#include <algorithm>
#include <cmath>

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

double median(QVector<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double sd(const QVector<double>& values)
{
    if (values.size() < 2)
        return 0;
    const double m = mean(values);
    double squares = 0;
    for (double v : values)
        squares += (v - m) * (v - m);
    return std::sqrt(squares / (values.size() - 1));
}

bool allFinite(const QVector<QPointF>& curve)
{
    return std::all_of(curve.cbegin(), curve.cend(), [](const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); });
}

double tailMean(const QVector<QPointF>& curve, int count)
{
    return mean(values(curve, curve.size() - count, curve.size()));
}

}
