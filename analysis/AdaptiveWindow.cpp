#include "analysis/AdaptiveWindow.h"

#include "analysis/CurveWindow.h"

#include <algorithm>
#include <cmath>

namespace AdaptiveWindow {

namespace {
// This instrument's readings: 16 bits in tenths.
constexpr double InstrumentMax = 6553.5;
// A window's points may stray this far (in noise SDs, as an RMS) from their line.
constexpr double WindowBand = 3;
// A point this far from the early line (in noise SDs) has left the baseline.
constexpr double LeaveBand = 6;
constexpr int First = 3; // the first readings settle; the window starts after them
constexpr int Least = 3; // a line and its spread need three points
// Fewer points than this (a rise within the first readings, a very high concentration) give no
// slope worth extending over forty cycles.
constexpr int SlopeLeast = 6;

// Least-squares line through the points from..to-1 and the RMS of their residuals.
double residualRms(const QVector<QPointF>& c, int from, int to, double& slope, double& intercept)
{
    const int n = to - from;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (int i = from; i < to; ++i) {
        sx += c[i].x();
        sy += c[i].y();
        sxx += c[i].x() * c[i].x();
        sxy += c[i].x() * c[i].y();
    }
    const double det = n * sxx - sx * sx;
    slope = det != 0 ? (n * sxy - sx * sy) / det : 0;
    intercept = (sy - slope * sx) / n;
    double squares = 0;
    for (int i = from; i < to; ++i) {
        const double r = c[i].y() - (slope * c[i].x() + intercept);
        squares += r * r;
    }
    return std::sqrt(squares / n);
}
}

double noise(const QVector<QPointF>& c)
{
    QVector<double> d2;
    for (int i = 1; i + 1 < c.size(); ++i)
        d2 << std::fabs(c[i + 1].y() - 2 * c[i].y() + c[i - 1].y());
    return 1.4826 * CurveWindow::median(d2) / std::sqrt(6.0);
}

bool needed(const QVector<QPointF>& c, QPoint window)
{
    // Fifteen readings or fewer keep the window as set, as the automatic step does.
    if (!CurveWindow::allFinite(c) || c.size() <= 15)
        return false;
    const bool outOfRange = std::any_of(c.cbegin(), c.cend(), [](const QPointF& p) { return std::fabs(p.y()) > InstrumentMax; });
    if (outOfRange)
        return true;
    const int from = qBound(0, window.x(), c.size()), to = qBound(0, window.y(), c.size());
    if (to - from < Least)
        return false;
    double slope = 0, intercept = 0;
    const double rms = residualRms(c, from, to, slope, intercept);
    if (rms > WindowBand * noise(c) && rms > 0)
        return true;
    // A flat window that begins where the curve has already left its early line lies on the
    // plateau, past the rise.
    return from >= of(c).y() + 2;
}

namespace {
// The end of the stretch from `from` on that stays on its own line within band: the first of
// three points in a row outside it.
int grow(const QVector<QPointF>& c, int from, double band)
{
    int end = from + Least;
    double slope = 0, intercept = 0;
    while (end < c.size() - 2) {
        residualRms(c, from, end, slope, intercept);
        bool leaves = true;
        for (int k = end; k < end + 3 && k < c.size(); ++k)
            leaves = leaves && std::fabs(c[k].y() - (slope * c[k].x() + intercept)) > band;
        if (leaves)
            break;
        ++end;
    }
    return end;
}
}

QPoint of(const QVector<QPointF>& c)
{
    const double sigma = noise(c);
    // With no measurable noise (a perfectly flat stretch), a thousandth of the curve's span.
    double lo = c[First].y(), hi = lo;
    for (const QPointF& p : c) {
        lo = qMin(lo, p.y());
        hi = qMax(hi, p.y());
    }
    const double band = LeaveBand * qMax(sigma, 1e-3 * (hi - lo));
    return QPoint(First, qMax(First + Least, grow(c, First, band) - 2));
}

bool tooShortForASlope(QPoint window)
{
    return window.y() - window.x() < SlopeLeast;
}

}
