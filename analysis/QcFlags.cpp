#include "analysis/QcFlags.h"

#include "analysis/AdaptiveWindow.h"
#include "analysis/CurveArtifacts.h"
#include "analysis/CurveWindow.h"
#include "analysis/ResultRows.h"
#include "analysis/TempData.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace QcFlags {

namespace {

// Samples at either end of a peak curve that the Tm search leaves out (0.8 degC).
constexpr int MeltMargin = 80;

bool stillRising(const Curve& corrected)
{
    const int n = corrected.size();
    if (n < 3 || !(corrected[n - 1].y() > 0))
        return false;
    // Growth per reading over the last two as a share of the height reached: an amplification
    // still in its exponential phase grows by a third or more of itself each reading, one past
    // the middle of its rise (bending into the plateau, however late) by less.
    const double rise = (corrected[n - 1].y() - corrected[n - 3].y()) / 2;
    if (rise >= NoPlateauShare * corrected[n - 1].y())
        return true;
    // One whose rises still grow up to the last reading has not even reached the middle of its
    // rise; the last rise must be a real share of the height, so that noise on a plateau is none.
    if (n < 4)
        return false;
    const double last = corrected[n - 1].y() - corrected[n - 2].y();
    const double before = corrected[n - 2].y() - corrected[n - 3].y();
    const double earlier = corrected[n - 3].y() - corrected[n - 4].y();
    return last > before && before > earlier && earlier > 0 && last >= NoPlateauGrowthShare * corrected[n - 1].y();
}

void markBaseline(const OutData& d, int s, TempData& r)
{
    const TargetInfo& t = r.targets[s];
    const QVector<double> residuals = CurveWindow::values(r.relativeLines[s], t.Start, t.End);
    if (residuals.size() < 3)
        return;
    double squares = 0;
    for (double v : residuals)
        squares += v * v;
    // The line through the window took two degrees of freedom. A plate's threshold may sit at its
    // floor, ten times the pooled noise, where half the curves are noisier than the pool: only a
    // curve twice as noisy as that says something.
    const double share = t.AutoThreshold == 2 ? 2 * NoisyBaselineShare : NoisyBaselineShare;
    if (std::sqrt(squares / (residuals.size() - 2)) > share * std::fabs(t.Threshold))
        r.flags[s] << QStringLiteral("noisy-baseline");
    // Measured on the line the analysis used: a spike or jump is flagged as itself, not as drift.
    double slope = 0, intercept = 0;
    const Curve analysed = d.getAnalysisLine(s);
    const Curve window = CurveWindow::points(analysed, t.Start, t.End);
    const double level = std::fabs(CurveWindow::mean(CurveWindow::values(analysed, t.Start, t.End)));
    // A slope that is large for the level, and that over the run's readings would move the curve
    // by more than its threshold: another instrument's baseline near zero (subtracted there) has no
    // level to measure a share of.
    // A window too short for a slope (a rise within the first readings) says nothing of drift.
    if (r.windowKinds.value(s) == OutData::WindowKind::Adaptive && AdaptiveWindow::tooShortForASlope(QPoint(t.Start, t.End)))
        return;
    if (d.linear(window, slope, intercept) && std::fabs(slope) > DriftShare * level
        && std::fabs(slope) * r.cycleLines[s].size() > std::fabs(t.Threshold))
        r.flags[s] << QStringLiteral("drift");
}

// Flags the curves whose value lies farther than limit from the median of their group.
void markAgainstMedian(const QHash<QString, QVector<int>>& groups, const QVector<double>& values, double limit,
                       int least, const QString& flag, TempData& r)
{
    for (const QVector<int>& members : groups) {
        if (members.size() < least)
            continue;
        QVector<double> v;
        for (int s : members)
            v.append(values[s]);
        const double m = CurveWindow::median(v);
        for (int s : members)
            if (std::fabs(values[s] - m) > limit)
                r.flags[s] << flag;
    }
}

}

QString name(const QString& flag)
{
    static const QHash<QString, QString> names = {
        {"no-plateau", QStringLiteral("未达平台")},        {"noisy-baseline", QStringLiteral("基线噪声大")},
        {"drift", QStringLiteral("基线漂移")},             {"late-ct", QStringLiteral("Ct偏晚")},
        {"replicate-outlier", QStringLiteral("重复孔离群")}, {"second-peak", QStringLiteral("熔解双峰")},
        {"tm-shift", QStringLiteral("Tm偏移")},            {"bad-reading", QStringLiteral("读数无效")},
        {"control-failed", QStringLiteral("内参失败")},   {"run-invalid", QStringLiteral("运行无效")},
        {"outside-standards", QStringLiteral("超出标准品范围")}, {"spike", QStringLiteral("读数尖峰")},
        {"few-replicates", QStringLiteral("重复孔不全")}, {"curve-failed", QStringLiteral("标准曲线不合格")},
        {"jump", QStringLiteral("信号跳变")},
    };
    return names.value(flag, flag);
}

QString names(const QStringList& flags)
{
    QStringList out;
    for (const QString& f : flags)
        out << name(f);
    return out.join(QStringLiteral("、"));
}

QString describe(const QString& flag)
{
    static const QHash<QString, QString> meanings = {
        {"no-plateau", QStringLiteral("末端仍在快速上升，未到平台期")},
        {"noisy-baseline", QStringLiteral("基线噪声超过阈值的十分之一")},
        {"drift", QStringLiteral("基线斜率超过基线水平的1%/循环，且整个运行中的漂移超过阈值")},
        {"late-ct", QStringLiteral("Ct值偏晚（超过35或靶标的Ct阈值）")},
        {"replicate-outlier", QStringLiteral("与同一样本重复孔的Ct中位数相差超过1个循环")},
        {"second-peak", QStringLiteral("熔解曲线有第二个峰")},
        {"tm-shift", QStringLiteral("Tm与该靶标阳性孔的Tm中位数相差超过1.5℃")},
        {"bad-reading", QStringLiteral("读数含非数值（NaN或无穷大），该曲线不作判定")},
        {"control-failed", QStringLiteral("内参在样本的孔中未扩增或Ct超出方法的范围：样本无效，需重新检测")},
        {"run-invalid", QStringLiteral("本次运行的对照未通过方法的质控规则：结果无效")},
        {"outside-standards", QStringLiteral("Ct在标准品的Ct范围之外，定量为外推值")},
        {"few-replicates", QStringLiteral("定量只来自样本的部分重复孔，其余孔没有Ct")},
        {"curve-failed", QStringLiteral("标准曲线的效率或R²未达到验收标准：定量不可报告")},
        {"spike", QStringLiteral("个别读数远离相邻读数（干扰），分析时不计入基线、阈值和Ct")},
        {"jump", QStringLiteral("某一循环处信号整体跳变（气泡、热盖），其后读数按跳变量校正后分析，原始读数不变")},
    };
    return meanings.value(flag, flag);
}

QString describeAll(const QStringList& flags)
{
    QStringList lines;
    for (const QString& f : flags)
        lines << name(f) + QStringLiteral("：") + describe(f);
    return lines.join('\n');
}

QVector<double> meltPeaks(const QVector<QPointF>& c)
{
    QVector<QPointF> maxima;
    for (int i = qMax(1, MeltMargin); i + 1 < c.size() - MeltMargin; ++i)
        if (c[i].y() > c[i - 1].y() && c[i].y() >= c[i + 1].y() && c[i].y() > 0)
            maxima.append(c[i]);
    std::sort(maxima.begin(), maxima.end(), [](const QPointF& a, const QPointF& b) { return a.y() > b.y(); });
    QVector<double> peaks;
    for (const QPointF& p : maxima) {
        if (p.y() < SecondPeakShare * maxima.first().y())
            break;
        const bool apart = std::all_of(peaks.cbegin(), peaks.cend(),
                                       [&p](double tm) { return std::fabs(p.x() - tm) >= SecondPeakDistance; });
        if (apart)
            peaks.append(p.x());
    }
    return peaks;
}

void mark(const OutData& d, TempData& r)
{
    const int count = r.ctValues.size();
    r.flags = QVector<QStringList>(count);
    r.artifacts = QVector<Curve>(count);
    r.meltPeaks = QVector<QVector<double>>(count);
    QHash<QString, QVector<int>> replicates, targetPositives;
    for (const ResultRow& row : resultRows(d)) {
        const int s = row.curveIndex;
        if (s >= count)
            continue;
        const TargetInfo& t = r.targets[s];
        const double ct = r.ctValues[s];
        if (!CurveWindow::allFinite(r.cycleLines[s]))
            r.flags[s] << QStringLiteral("bad-reading");
        const CurveArtifacts::Found artifacts = d.artifactsOf(s);
        if (!artifacts.spikes.isEmpty())
            r.flags[s] << QStringLiteral("spike");
        if (!artifacts.jumps.isEmpty())
            r.flags[s] << QStringLiteral("jump");
        for (int i : artifacts.spikes + artifacts.jumps)
            r.artifacts[s] << r.cycleLines[s].value(i);
        if (ct != 0) {
            if (stillRising(r.relativeLines[s]))
                r.flags[s] << QStringLiteral("no-plateau");
            if (ct > (t.CtThreshold > 0 ? t.CtThreshold : LateCt))
                r.flags[s] << QStringLiteral("late-ct");
            replicates[QString("%1/%2/%3").arg(row.sample).arg(row.channel).arg(t.Name)].append(s);
        }
        markBaseline(d, s, r);
        if (r.tmValues[s] != 0) {
            r.meltPeaks[s] = meltPeaks(r.newMeltLines[s]);
            if (r.meltPeaks[s].size() > 1)
                r.flags[s] << QStringLiteral("second-peak");
            if (r.positives[s])
                targetPositives[QString("%1/%2").arg(row.channel).arg(t.Name)].append(s);
        }
    }
    markAgainstMedian(replicates, r.ctValues, OutlierCycles, 3, QStringLiteral("replicate-outlier"), r);
    markAgainstMedian(targetPositives, r.tmValues, TmShift, 1, QStringLiteral("tm-shift"), r);
}

}
