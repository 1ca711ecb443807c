// Elementary curve operations of the experiment record.
#include "analysis/CurveArtifacts.h"
#include "analysis/CurveWindow.h"
#include "files/OutData.h"
#include "method/MeltRange.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_spline.h>

#include <cmath>

namespace {
// A melt spans a few dozen degrees; a span this wide (in 0.01 steps) only comes from a damaged
// file and is not resampled.
constexpr double MaxSplineSamples = 200000;
// Point-by-point step removal costs readings x jumps additions: a real curve (a few hundred
// readings, a handful of jumps) stays far below this; a record of the largest chip that is all
// crafted jumps stays within seconds.
constexpr double StepwiseSmoothBound = 1e5;
}

int OutData::cyclePoints(const Curve& raw) const
{
    // The readings of the cycles come first, each at its own cycle; a curve that misses some
    // (another instrument's gaps) has fewer of them, and its melt readings still come after.
    const int n = qMax(0, inData.method.Flow.getCycle());
    int k = 0;
    while (k < raw.size() && k < n && raw[k].x() <= n)
        ++k;
    return k;
}

Curve OutData::getCycleLine(int index) const
{
    const Curve raw = pdLines.value(index);
    return raw.mid(0, cyclePoints(raw));
}

Curve OutData::getAnalysisLine(int index) const
{
    return artifactsOf(index).repaired;
}

CurveArtifacts::Found OutData::artifactsOf(int index) const
{
    const Curve cycles = getCycleLine(index);
    if (index < 0 || index >= pdLines.size())
        return CurveArtifacts::find(cycles);
    if (mAnalysisLines.size() != pdLines.size())
        mAnalysisLines = QVector<QPair<Curve, CurveArtifacts::Found>>(pdLines.size());
    QPair<Curve, CurveArtifacts::Found>& kept = mAnalysisLines[index];
    if (kept.first != cycles || kept.second.repaired.isEmpty() != cycles.isEmpty())
        kept = qMakePair(cycles, CurveArtifacts::find(cycles));
    return kept.second;
}

Curve OutData::firstDerivative(const Curve& curve) const
{
    if (curve.size() <= 1)
        return curve;
    Curve d;
    d.reserve(curve.size() - 1);
    for (int i = 0; i + 1 < curve.size(); ++i)
        d.append(QPointF(curve[i].x(), curve[i + 1].y() - curve[i].y()));
    return d;
}

Curve OutData::secondDerivative(const Curve& curve) const
{
    return firstDerivative(firstDerivative(curve));
}

Curve OutData::thirdDerivative(const Curve& curve) const
{
    return firstDerivative(secondDerivative(curve));
}

Curve OutData::smooth(const Curve& curve, int limit) const
{
    // A jump at q (third difference beyond limit) shifts every point from q + 2 on, so that point
    // q + 2 continues the line through q and q + 1 as they stand after the earlier shifts.
    Curve r = curve;
    const Curve d3 = thirdDerivative(curve);
    const int jumps = d3.size() - 3;
    int jumpCount = 0;
    for (int q = 0; q < jumps; ++q)
        jumpCount += std::fabs(d3[q].y()) > double(limit) ? 1 : 0;
    // Readings sit on a 0.1 grid, so equal derivatives are common and the window search breaks
    // their ties by the last bit: the shifts are added point by point, in this order, as they
    // always were. Only a crafted curve with readings x jumps beyond the bound takes the linear
    // form below, whose running total rounds differently.
    if (double(r.size()) * jumpCount <= StepwiseSmoothBound) {
        for (int q = 0; q < jumps; ++q) {
            if (std::fabs(d3[q].y()) <= double(limit))
                continue;
            const double offset = 2 * r[q + 1].y() - (r[q].y() + r[q + 2].y());
            for (int i = q + 2; i < r.size(); ++i)
                r[i].ry() += offset;
        }
        return r;
    }
    // Those earlier shifts cancel out of the offset except the one that starts at q + 1, so the
    // offsets come in one pass and the shifts add up as a running total.
    double shift = 0;
    double previousOffset = 0;
    for (int i = 2; i < r.size(); ++i) {
        const int q = i - 2;
        double offset = 0;
        if (q < jumps && std::fabs(d3[q].y()) > double(limit))
            offset = 2 * curve[q + 1].y() - (curve[q].y() + curve[q + 2].y()) + previousOffset;
        previousOffset = offset;
        shift += offset;
        r[i].ry() += shift;
    }
    return r;
}

Curve OutData::absPointF(const Curve& curve) const
{
    Curve r = curve;
    for (QPointF& p : r)
        p.setY(std::fabs(p.y()));
    return r;
}

QPointF OutData::maxPointF(const Curve& curve, int from) const
{
    return CurveWindow::extreme(curve, from, [](double candidate, double best) { return candidate > best; });
}

QPointF OutData::minPointF(const Curve& curve, int from) const
{
    return CurveWindow::extreme(curve, from, [](double candidate, double best) { return candidate < best; });
}

QPoint OutData::getStartEndValue(int index, const TargetInfo& target) const
{
    const QPoint manual(target.Start, target.End);
    if (target.AutoRange == 0)
        return manual;
    const Curve c = getAnalysisLine(index);
    const int n = c.size();
    if (n <= 15)
        return manual;
    const Curve d = firstDerivative(smooth(c, 20));
    const QPointF p = maxPointF(d.mid(9, n - 11), 0);
    int end = n - 2;
    if (p.y() > 1) {
        // Walk back from the steepest point, two readings at a time, to where the rise begins.
        // The x of a stored point is only trusted as an index while it stays inside the curve.
        int k = truncToInt(p.x());
        while (k > 9 && k - 1 < d.size()) {
            if (d[k - 1].y() <= 1) {
                end = k;
                break;
            }
            end = k - 1;
            k -= 2;
        }
    }
    const Curve early = absPointF(CurveWindow::points(d, 3, end - 3));
    const int start = truncToInt(minPointF(early, 0).x());
    return QPoint(start, end);
}

Curve OutData::baseLine(Curve curve, int start, int end) const
{
    if (end >= curve.size() || start < 0 || start >= curve.size())
        return curve;
    const double slope = (curve[end].y() - curve[start].y()) / (end - start);
    const double intercept = curve[end].y() - end * slope;
    for (QPointF& p : curve)
        p.setY(slope * p.x() + intercept);
    return curve;
}

bool OutData::linear(const Curve& curve, double& slope, double& intercept) const
{
    slope = 0;
    intercept = 0;
    if (curve.isEmpty())
        return true;
    // Earlier points weigh more. The weights stop at 1 so a long window never turns them negative.
    double w = 0, wx = 0, wy = 0;
    for (int i = 0; i < curve.size(); ++i) {
        const double weight = qMax(100 - i, 1);
        w += weight;
        wx += weight * curve[i].x();
        wy += weight * curve[i].y();
    }
    const double xMean = wx / w;
    const double yMean = wy / w;
    double sxy = 0, sxx = 0;
    for (const QPointF& p : curve) {
        sxy += p.x() * (p.x() - xMean) * (p.y() - yMean);
        sxx += p.x() * (p.x() - xMean) * (p.x() - xMean);
    }
    if (sxx == 0) {
        intercept = yMean;
        return true;
    }
    slope = sxy / sxx;
    intercept = yMean - slope * xMean;
    return true;
}

double OutData::getStdValue(const QVector<double>& values) const
{
    if (values.isEmpty())
        return -1;
    // One value has no spread to measure: the floor, not 0 / 0.
    if (values.size() < 2)
        return 0.4;
    double sum = 0;
    for (double v : values)
        sum += v;
    const double mean = sum / values.size();
    double squares = 0;
    for (double v : values)
        squares += (mean - v) * (mean - v);
    const double s = std::sqrt(squares / (values.size() - 1));
    return s == 0 ? 0.4 : s;
}

Curve OutData::negativeLine(const Curve& curve) const
{
    Curve r = curve;
    for (QPointF& p : r)
        p.setY(p.y() / 100);
    return r;
}

Curve OutData::cubicInterpolation(const Curve& curve) const
{
    const int n = curve.size();
    if (n < 3)
        return curve;
    QVector<double> x(n), y(n);
    for (int i = 0; i < n; ++i) {
        x[i] = curve[i].x();
        y[i] = curve[i].y();
        // The spline needs finite, strictly increasing abscissae; anything else is not resampled.
        if (!std::isfinite(x[i]) || !std::isfinite(y[i]) || (i > 0 && !(x[i] > x[i - 1])))
            return curve;
    }
    if ((x[n - 1] - x[0]) / 0.01 > MaxSplineSamples)
        return curve;

    gsl_set_error_handler_off();
    gsl_interp_accel* accel = gsl_interp_accel_alloc();
    gsl_spline* spline = gsl_spline_alloc(gsl_interp_cspline, size_t(n));
    Curve samples;
    if (accel && spline && gsl_spline_init(spline, x.constData(), y.constData(), size_t(n)) == GSL_SUCCESS) {
        samples.reserve(int((x[n - 1] - x[0]) / 0.01) + 2);
        for (double t = x[0]; t <= x[n - 1] && samples.size() <= MaxSplineSamples; t += 0.01)
            samples.append(QPointF(t, gsl_spline_eval(spline, t, accel)));
    } else {
        samples = curve;
    }
    gsl_spline_free(spline);
    gsl_interp_accel_free(accel);
    return samples;
}
