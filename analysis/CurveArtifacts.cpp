#include "analysis/CurveArtifacts.h"

#include "analysis/AdaptiveWindow.h"
#include "analysis/CurveWindow.h"

#include <algorithm>
#include <cmath>

namespace CurveArtifacts {

namespace {
// What counts as an artifact, in the curve's noise SDs (the band below) and as ratios.
struct Limits
{
    // A spike leaves the reading its neighbours predict by `spikeBand`, and by more than the
    // difference between its two neighbours over `spikeOverNeighbours` (they agree with each
    // other: a smooth rise, even an amplification's, stays far closer to its prediction).
    double spikeBand, spikeOverNeighbours;
    // A jump leaves the line of the neighbouring rises (two before, two after) by `jumpBand`, and
    // by `jumpOverNeighbours` times their largest departure from that line: an amplification's
    // rises grow or shrink from reading to reading, a step on a line stands alone.
    double jumpBand, jumpOverNeighbours;
    int leastReadings;
    int mostSpikes; // more far-off readings than this is a noisy curve, not a disturbance
    double spanShare; // the band of a curve without measurable noise, as a share of its span
};
constexpr Limits Limit{12, 4, 10, 4, 8, 3, 1e-3};

// The noise SD the limits multiply: the curve's own, never below the reading grid or a thousandth
// of the span, so that the last digit of a flat, quantised curve is not an artifact. The grid is
// the smallest step between two readings where at least three steps are about that small; a step
// met once or twice may be the artifact itself.
double band(const QVector<QPointF>& c)
{
    double lo = c[0].y(), hi = lo;
    QVector<double> steps;
    for (int i = 0; i < c.size(); ++i) {
        lo = qMin(lo, c[i].y());
        hi = qMax(hi, c[i].y());
        if (i > 0 && c[i].y() != c[i - 1].y())
            steps << std::fabs(c[i].y() - c[i - 1].y());
    }
    std::sort(steps.begin(), steps.end());
    const double grid = steps.size() >= 3 && steps[2] <= 1.5 * steps[0] ? steps[0] : 0;
    // Rounding of the predictions is no departure either.
    const double rounding = 1e-9 * qMax(std::fabs(lo), std::fabs(hi));
    return qMax(qMax(AdaptiveWindow::noise(c), rounding), qMax(grid, Limit.spanShare * (hi - lo)));
}

// The reading at i as its neighbours predict it: the cubic through the two on either side where
// they exist (it follows an amplification's rise), else the mean of the two next to it.
double smoothPrediction(const QVector<QPointF>& r, int i)
{
    if (i >= 2 && i + 2 < r.size())
        return (-r[i - 2].y() + 4 * r[i - 1].y() + 4 * r[i + 1].y() - r[i + 2].y()) / 6;
    return (r[i - 1].y() + r[i + 1].y()) / 2;
}

// The rise at j predicted by the line through the neighbouring rises, and their largest departure
// from it; false when there are fewer than three neighbours or none after j.
bool neighbourLine(const QVector<double>& d, int j, double& predicted, double& spread)
{
    double x[4], y[4];
    int n = 0;
    for (int k = j - 2; k <= j + 2; ++k)
        if (k != j && k >= 1 && k < d.size()) {
            x[n] = k - j;
            y[n++] = d[k];
        }
    if (n < 3 || j + 1 >= d.size())
        return false;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (int i = 0; i < n; ++i) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    predicted = (sy - slope * sx) / n;
    spread = 0;
    for (int i = 0; i < n; ++i)
        spread = qMax(spread, std::fabs(y[i] - (predicted + slope * x[i])));
    return true;
}
}

Found find(const QVector<QPointF>& c)
{
    Found f;
    f.repaired = c;
    if (c.size() < Limit.leastReadings || !CurveWindow::allFinite(c))
        return f;
    const double sigma = band(c);
    if (sigma == 0) // every reading the same
        return f;
    QVector<QPointF>& r = f.repaired;
    // Jumps first: a spike leaves the line of the rises around it, while the two readings on
    // either side of a step would pass for spikes.
    QVector<double> d(r.size(), 0); // d[j]: the rise from reading j - 1 to j
    for (int j = 1; j < r.size(); ++j)
        d[j] = r[j].y() - r[j - 1].y();
    for (int j = 2; j < r.size(); ++j) {
        double predicted = 0, spread = 0;
        if (!neighbourLine(d, j, predicted, spread))
            continue;
        const double jump = d[j] - predicted;
        // Where the curve rises by more than the step from reading to reading anyway (the
        // exponential phase, the bend into the plateau), a step is not told from the rise.
        if (std::fabs(jump) > Limit.jumpBand * sigma && std::fabs(jump) > Limit.jumpOverNeighbours * spread
            && std::fabs(jump) > std::fabs(predicted)) {
            for (int i = j; i < r.size(); ++i)
                r[i].ry() -= jump;
            d[j] = predicted;
            f.jumps << j;
        }
    }
    // The farthest reading first: a spike also moves the predictions of its neighbours.
    for (int found = 0; found < Limit.mostSpikes; ++found) {
        int worst = -1;
        double worstOff = 0, middle = 0;
        for (int i = 1; i + 1 < r.size(); ++i) {
            const double predicted = smoothPrediction(r, i);
            const double off = std::fabs(r[i].y() - predicted);
            if (off > Limit.spikeBand * sigma && off * Limit.spikeOverNeighbours > std::fabs(r[i + 1].y() - r[i - 1].y()) && off > worstOff) {
                worst = i;
                worstOff = off;
                middle = predicted;
            }
        }
        if (worst < 0)
            break;
        r[worst].setY(middle);
        f.spikes << worst;
    }
    std::sort(f.spikes.begin(), f.spikes.end());
    return f;
}

}
