#pragma once

#include <QPointF>
#include <QVector>

// Index arithmetic on curves that may come from a damaged file: windows are clipped to the
// curve, and stored x values are turned into indices without undefined conversions.
namespace CurveWindow {

// The points with indices start .. end - 1 that exist; empty when start >= end.
QVector<QPointF> points(const QVector<QPointF>& curve, int start, int end);
// Their y values.
QVector<double> values(const QVector<QPointF>& curve, int start, int end);
double mean(const QVector<double>& values);
// The mean y of the last count points (of all of them when the curve is shorter).
double tailMean(const QVector<QPointF>& curve, int count);
// The point from index `from` on whose y beats every other by `better`; the earliest of equals.
// (0, 0) when from is outside the curve.
template <typename Better>
QPointF extreme(const QVector<QPointF>& curve, int from, Better better)
{
    if (from < 0 || from >= curve.size())
        return QPointF(0, 0);
    QPointF best = curve[from];
    for (int i = from + 1; i < curve.size(); ++i)
        if (better(curve[i].y(), best.y()))
            best = curve[i];
    return best;
}
// Truncation toward zero, clamped to int range; NaN gives 0.
int toIndex(double x);

}
