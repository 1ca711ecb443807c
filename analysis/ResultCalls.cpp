// Baseline correction, threshold, Ct and the positive/negative call of one curve.
#include "analysis/AdaptiveWindow.h"
#include "analysis/CurveWindow.h"
#include "files/OutData.h"

#include <algorithm>

namespace {

// Readings in a row above the threshold that make a crossing.
constexpr int CrossingRun = 3;

// Plateau (mean of the last six points) over the baseline window's mean, strictly above border.
bool risesAboveBorder(const Curve& curve, const TargetInfo& t)
{
    const double plateau = CurveWindow::tailMean(curve, 6);
    const double base = CurveWindow::mean(CurveWindow::values(curve, t.Start, t.End));
    return plateau - base > t.BorderThreshold;
}

bool windowFits(const TargetInfo& t, int n)
{
    return t.Start < t.End && t.End < n && t.End >= 6 && n >= 16 && t.Start >= 0;
}

}

TargetInfo OutData::targetOf(int index) const
{
    const int channels = inData.method.ChannelColor;
    if (channels <= 0 || index < 0)
        return TargetInfo();
    return inData.method.holeTargets.value(index / channels).at(index % channels);
}

void OutData::setTargetInfo(const TargetInfo& target, int index, bool withName)
{
    const int channels = inData.method.ChannelColor;
    if (channels <= 0 || index < 0 || index / channels >= inData.method.holeTargets.size())
        return;
    inData.method.holeTargets[index / channels].set(index % channels, target, withName);
}

void OutData::setTargetInfoForChannel(const TargetInfo& target, int channel)
{
    const SMethod& m = inData.method;
    if (!m.countsInRange() || m.ChannelColor <= 0)
        return;
    for (int i = 0; i < m.Hole * m.ChannelColor; ++i)
        if (channel < 0 || i % m.ChannelColor == channel)
            setTargetInfo(target, i, false);
}

void OutData::setThresholdForChannel(const TargetInfo& target, int channel)
{
    const SMethod& m = inData.method;
    if (!m.countsInRange() || m.ChannelColor <= 0)
        return;
    for (int i = channel; i >= 0 && i < m.Hole * m.ChannelColor; i += m.ChannelColor) {
        TargetInfo t = targetOf(i);
        t.AutoThreshold = target.AutoThreshold;
        t.Threshold = target.Threshold;
        setTargetInfo(t, i, false);
    }
}

bool OutData::getCalResult(int index, TargetInfo& t, Curve& out, WindowKind* kind) const
{
    WindowKind chosen = WindowKind::Fixed;
    if (kind)
        *kind = chosen;
    const Curve c = getAnalysisLine(index);
    const int n = c.size();
    out.clear();
    if (n <= 2) {
        out = negativeLine(c);
        return false;
    }
    QPoint window(t.Start, t.End);
    if (t.AutoRange != 0) {
        window = getStartEndValue(index, t);
        // The automatic window is made for this instrument's scale; where it does not fit the
        // curve, one relative to the curve's own noise is used.
        chosen = AdaptiveWindow::needed(c, window) ? WindowKind::Adaptive : WindowKind::Auto;
        if (chosen == WindowKind::Adaptive)
            window = AdaptiveWindow::of(c);
        if (kind)
            *kind = chosen;
    } else if (window.y() > n) {
        out = negativeLine(c);
        return false;
    }
    t.Start = window.x();
    t.End = window.y();
    double k = 0, b = 0;
    linear(CurveWindow::points(c, t.Start, t.End), k, b);
    if (chosen == WindowKind::Adaptive && AdaptiveWindow::tooShortForASlope(window)) {
        k = 0;
        b = CurveWindow::mean(CurveWindow::values(c, t.Start, t.End));
    }
    out = c;
    for (QPointF& p : out)
        p.setY(p.y() - (k * p.x() + b));
    // getPositive on the curve at hand, without conditioning it again.
    return windowFits(t, n) && risesAboveBorder(c, t);
}

bool OutData::getPositive(int index, const TargetInfo& t) const
{
    const Curve c = getAnalysisLine(index);
    if (!windowFits(t, c.size()))
        return false;
    return risesAboveBorder(c, t);
}

double OutData::getThresholdValue(int index, const TargetInfo& t) const
{
    if (t.AutoThreshold == 0)
        return t.Threshold;
    const Curve c = getAnalysisLine(index);
    if (t.End > c.size())
        return 4.0;
    return 10 * getStdValue(CurveWindow::values(c, t.Start, t.End));
}

double OutData::getCtValue(int, bool call, const Curve& curve, const TargetInfo& t) const
{
    if (!call || curve.size() <= 15)
        return 0;
    const int e = qMax(t.End, 3);
    const double threshold = t.Threshold;
    const Curve searched = CurveWindow::points(curve, e - 3, curve.size());
    // The crossing is where the curve goes above the threshold and stays there for three
    // readings: one reading above it (noise, a disturbance the artifact search left) is no Ct.
    int first = -1, run = 0;
    double highest = 0;
    for (int j = 0; j < searched.size(); ++j) {
        const double y = searched[j].y();
        run = y > threshold ? run + 1 : 0;
        if (first < 0 && run == CrossingRun)
            first = j - CrossingRun + 1;
        highest = j == 0 ? y : qMax(highest, y);
    }
    // A late rise has no third reading to show: two at the end still count where the curve
    // keeps speeding up into the last one, as an amplification does and a bump does not.
    const int m = searched.size();
    if (first < 0 && run == CrossingRun - 1 && m >= 3
        && searched[m - 1].y() - searched[m - 2].y() > searched[m - 2].y() - searched[m - 3].y())
        first = m - 2;
    // The crossing must lie at least two points into the searched part, and the curve must rise
    // above the border somewhere in it.
    if (first < 0 || !(first > 1 && highest > t.BorderThreshold))
        return 0;
    const double x1 = searched[first - 1].x() + 1, y1 = searched[first - 1].y();
    const double x2 = searched[first].x() + 1, y2 = searched[first].y();
    if (y2 == y1)
        return 0;
    const double slope = (x2 - x1) / (y2 - y1);
    const double intercept = x1 - slope * y1;
    return slope * threshold + intercept - 1;
}

bool OutData::getRelativePositive(const Curve& curve, const TargetInfo& t, int firstCycle) const
{
    if (!windowFits(t, curve.size()))
        return false;
    // After the Ct the corrected curve must stay at or above the Ct cut-off field.
    for (int j = qMax(firstCycle + 1, 0); j < curve.size(); ++j)
        if (t.CtThreshold > curve[j].y())
            return false;
    return risesAboveBorder(curve, t);
}

Curve OutData::getRelativeLine(int index, bool baselineMode, const TargetInfo& t) const
{
    Curve c = getAnalysisLine(index);
    if (baselineMode) {
        const Curve line = baseLine(c, t.Start, t.End);
        for (int i = 0; i < c.size(); ++i)
            c[i].ry() -= line[i].y();
        return c;
    }
    for (QPointF& p : c)
        p.setY(p.y() / 1000);
    for (int i = 0; i + 2 < c.size(); ++i) {
        double three[3] = {c[i].y(), c[i + 1].y(), c[i + 2].y()};
        std::sort(three, three + 3);
        c[i].setY(three[1]);
    }
    return c;
}
