#pragma once

#include <QPoint>
#include <QPointF>
#include <QVector>

// The baseline window where the automatic one, made for this instrument's scale, does not fit a
// curve: a curve of another instrument (readings of 0 to 20 units, or of 10^4 to 10^6), or one whose
// rise is so steep that the automatic window reaches into it. Everything here is relative to the
// curve's own noise, so a curve multiplied by any factor gets the same window.
namespace AdaptiveWindow {

// The readings' noise, robustly: from the median absolute second difference, which the rise of an
// amplification hardly moves (white noise of SD s gives second differences of SD s * sqrt(6)).
double noise(const QVector<QPointF>& curve);
// Whether the automatic window [start, end) fails the curve: readings beyond this instrument's
// range, a window whose points leave the noise band of their own line (it holds the rise), or one
// that begins only after the curve has left its early line (it lies on the plateau).
bool needed(const QVector<QPointF>& curve, QPoint window);
// The longest early stretch from reading 3 on that stays on its own straight line within the noise
// band, ended two readings before it leaves it.
QPoint of(const QVector<QPointF>& curve);
// Whether such a window is too short to give its line a slope: its baseline is then level.
bool tooShortForASlope(QPoint window);

}
