#include "analysis/ControlTrend.h"

#include "analysis/CurveWindow.h"

#include <algorithm>
#include <cmath>

namespace {

// Distances from the mean in SDs of the points that have a Ct, with their indexes.
struct Scores
{
    QVector<double> z;
    QVector<int> index;
};

// Whether the last n scores up to i all lie beyond limit on one side.
bool runBeyond(const Scores& s, int i, int n, double limit)
{
    if (i + 1 < n)
        return false;
    const double side = s.z[i] > 0 ? 1 : -1;
    for (int k = i - n + 1; k <= i; ++k)
        if (side * s.z[k] <= limit)
            return false;
    return true;
}

}

ControlTrend ControlTrend::of(QVector<Point> points, const QDateTime& from, const QDateTime& to)
{
    ControlTrend t;
    std::stable_sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.time < b.time; });
    t.points = points;
    const bool period = from.isValid() && to.isValid();
    QVector<double> base;
    for (int i = 0; i < points.size(); ++i) {
        if (!std::isfinite(points[i].ct)) {
            t.violations.append({QStringLiteral("no-ct"), points[i].experiment, i});
            continue;
        }
        const bool inBaseline = period ? points[i].time >= from && points[i].time <= to : base.size() < BaselineRuns;
        if (inBaseline)
            base << points[i].ct;
    }
    t.baseline = base.size();
    // An SD needs two runs; a flat baseline has none to judge by.
    if (base.size() < 2)
        return t;
    t.mean = CurveWindow::mean(base);
    t.sd = CurveWindow::sd(base);
    // Identical Cts leave rounding for an SD, by which every later run would break the rules.
    if (!(t.sd > 1e-6)) {
        t.sd = 0;
        return t;
    }
    Scores s;
    for (int i = 0; i < points.size(); ++i)
        if (std::isfinite(points[i].ct)) {
            s.z << (points[i].ct - t.mean) / t.sd;
            s.index << i;
        }
    for (int i = 0; i < s.z.size(); ++i) {
        const auto flag = [&](const char* rule) { t.violations.append({QString::fromLatin1(rule), points[s.index[i]].experiment, s.index[i]}); };
        if (std::fabs(s.z[i]) > 3)
            flag("1-3s");
        if (runBeyond(s, i, 2, 2))
            flag("2-2s");
        if (i > 0 && ((s.z[i] > 2 && s.z[i - 1] < -2) || (s.z[i] < -2 && s.z[i - 1] > 2)))
            flag("R-4s");
        if (runBeyond(s, i, 4, 1))
            flag("4-1s");
        if (runBeyond(s, i, 10, 0))
            flag("10-x");
    }
    std::stable_sort(t.violations.begin(), t.violations.end(), [](const Violation& a, const Violation& b) { return a.point < b.point; });
    return t;
}
