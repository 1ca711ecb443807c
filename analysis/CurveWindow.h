#pragma once

#include <QPointF>
#include <QVector>

// Windows and extremes of curves that may come from a damaged file: a window is clipped to the
// curve instead of reaching past it.
namespace CurveWindow {

// The points with indices start .. end - 1 that exist; empty when start >= end.
QVector<QPointF> points(const QVector<QPointF>& curve, int start, int end);
// Their y values.
QVector<double> values(const QVector<QPointF>& curve, int start, int end);
double mean(const QVector<double>& values);
// The middle value (the mean of the middle two for an even count); 0 for none.
double median(QVector<double> values);
// The sample standard deviation; 0 for fewer than two values.
double sd(const QVector<double>& values);
// Every x and y a number (a damaged file or another program's export may hold NaN or infinity).
bool allFinite(const QVector<QPointF>& curve);
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

}
