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
// Truncation toward zero, clamped to int range; NaN gives 0.
int toIndex(double x);

}
