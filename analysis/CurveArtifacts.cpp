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
    // A spike is one or two readings that leave the reading their neighbours predict by
    // `spikeBand`, and leave both neighbours in the same direction by more than
    // `spikeOverNeighbours` times the difference between those two (they agree with each other:
    // a reading on a steep rise, however early, lies between its neighbours, not beyond both).
    double spikeBand, spikeOverNeighbours;
    int widestSpike;
    // A jump leaves the line of the neighbouring rises (two before, two after) by `jumpBand`, and
    // by `jumpOverNeighbours` times their largest departure from that line: an amplification's
    // rises grow or shrink from reading to reading, a step on a line stands alone.
    double jumpBand, jumpOverNeighbours;
    int leastReadings;
    int mostSpikes; // more spikes than this is a noisy curve, not a disturbance
    double spanShare; // the band of a curve without measurable noise, as a share of its span
};
constexpr Limits Limit{12, 1, 2, 10, 4, 8, 3, 1e-3};

// The last digit the readings are given to (1 down to a millionth): a change by that digit is
// the quantisation, not an artifact, even where it is the only change in the curve.
double lastDigit(const QVector<QPointF>& c)
{
    for (double digit = 1; digit > 1e-6; digit /= 10) {
        const bool all = std::all_of(c.cbegin(), c.cend(), [digit](const QPointF& p) {
            const double units = p.y() / digit;
            return std::fabs(units - std::round(units)) < 1e-6;
        });
        if (all)
            return digit;
    }
    return 0;
}

// The noise SD the limits multiply: the curve's own, never below the reading grid or a thousandth
// of the span, so that the last digit of a flat, quantised curve is not an artifact. The grid is
// the digit the readings are given to, or the smallest step between two readings where at least
// three steps are about that small; a step met once or twice may be the artifact itself.
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
    const double grid = qMax(lastDigit(c), steps.size() >= 3 && steps[2] <= 1.5 * steps[0] ? steps[0] : 0);
    // Rounding of the predictions is no departure either.
    const double rounding = 1e-9 * qMax(std::fabs(lo), std::fabs(hi));
    return qMax(qMax(AdaptiveWindow::noise(c), rounding), qMax(grid, Limit.spanShare * (hi - lo)));
}

// Reading `at` as the readings around the `width` ones from `first` on predict it: the cubic
// through the two on either side where they exist (it follows an amplification's rise), else the
// line through the one on either side.
double prediction(const QVector<QPointF>& r, int first, int width, int at)
{
    const int last = first + width - 1;
    const bool cubic = first >= 2 && last + 2 < r.size();
    const int nodes[4] = {first - 1, last + 1, first - 2, last + 2};
    const int count = cubic ? 4 : 2;
    double y = 0;
    for (int a = 0; a < count; ++a) {
        double term = r[nodes[a]].y();
        for (int b = 0; b < count; ++b)
            if (b != a)
                term *= double(at - nodes[b]) / (nodes[a] - nodes[b]);
        y += term;
    }
    return y;
}

// How far the `width` readings from `first` on stand off as a spike (the least departure from
// their prediction), or 0 when they do not leave both neighbours in the same direction by far
// more than those differ from each other.
double spikeSize(const QVector<QPointF>& r, int first, int width)
{
    const double before = r[first - 1].y(), after = r[first + width].y();
    const double neighbours = Limit.spikeOverNeighbours * std::fabs(after - before);
    const double sign = r[first].y() > before ? 1 : -1;
    double least = -1;
    for (int i = first; i < first + width; ++i) {
        const double y = r[i].y();
        if (sign * (y - before) <= neighbours || sign * (y - after) <= neighbours)
            return 0;
        // Also far from each neighbour itself: a spike at the end of the curve moves the
        // prediction of the readings next to it.
        const double off = qMin(std::fabs(y - prediction(r, first, width, i)), qMin(sign * (y - before), sign * (y - after)));
        least = least < 0 ? off : qMin(least, off);
    }
    return least;
}

// The rise at j predicted by the line through the neighbouring rises, and their largest departure
// from it; false when there are fewer than three neighbours or fewer than two after j (with one,
// a dip into the last two readings would pass for a step that the last reading partly takes back).
bool neighbourLine(const QVector<double>& d, int j, double& predicted, double& spread)
{
    double x[4], y[4];
    int n = 0;
    for (int k = j - 2; k <= j + 2; ++k)
        if (k != j && k >= 1 && k < d.size()) {
            x[n] = k - j;
            y[n++] = d[k];
        }
    if (n < 3 || j + 2 >= d.size())
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

// A lasting step: the curve stands at the new level two readings after it, and stood at the old
// one up to three readings before it, beyond the usual rise (the median of the rises just outside
// those readings, which the other step of an excursion does not move). A short excursion comes
// back within two readings, and taking its way out or back for a step would make one.
bool lasting(const QVector<QPointF>& r, const QVector<double>& d, int j, double jump)
{
    QVector<double> outside;
    for (int k : {j - 2, j - 1, j + 3, j + 4})
        if (k >= 1 && k < d.size())
            outside << d[k];
    const double usual = CurveWindow::median(outside);
    const int before = qMax(0, j - 3), after = qMin(int(r.size()) - 1, j + 2);
    const double forward = r[after].y() - r[j - 1].y() - (after - j + 1) * usual;
    const double backward = r[j].y() - r[before].y() - (j - before) * usual;
    return forward * jump > 0 && std::fabs(forward) > std::fabs(jump) / 2 && backward * jump > 0
        && std::fabs(backward) > std::fabs(jump) / 2;
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
    // Spikes first, the farthest first (a spike also moves the predictions of its neighbours):
    // a spike of two readings leaves the curve by one step and comes back by another, which the
    // jump search below would take for two lasting steps. A step itself never passes for a
    // spike, as its readings lie level with one neighbour. The end readings have a neighbour on
    // one side only and are never judged spikes: a lone last reading far off gets no crossing.
    for (int found = 0; found < Limit.mostSpikes; ++found) {
        int worst = -1, worstWidth = 0;
        double worstOff = Limit.spikeBand * sigma;
        for (int width = 1; width <= Limit.widestSpike; ++width)
            for (int i = 1; i + width < r.size(); ++i) {
                const double off = spikeSize(r, i, width);
                if (off > worstOff) {
                    worst = i;
                    worstWidth = width;
                    worstOff = off;
                }
            }
        if (worst < 0)
            break;
        QVector<double> middle;
        for (int i = worst; i < worst + worstWidth; ++i)
            middle << prediction(r, worst, worstWidth, i);
        for (int i = 0; i < worstWidth; ++i) {
            r[worst + i].setY(middle[i]);
            f.spikes << worst + i;
        }
    }
    std::sort(f.spikes.begin(), f.spikes.end());
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
            && std::fabs(jump) > std::fabs(predicted) && lasting(r, d, j, jump)) {
            // Shifting every reading from j on changes no rise but this one.
            for (int i = j; i < r.size(); ++i)
                r[i].ry() -= jump;
            d[j] = predicted;
            f.jumps << j;
        }
    }
    return f;
}

}
