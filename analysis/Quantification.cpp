#include "analysis/Quantification.h"

#include "analysis/CurveWindow.h"
#include "analysis/ResultRows.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"

#include <algorithm>
#include <QHash>

#include <cmath>

double QuantCurve::axisOf(double quantity, const QString& unit)
{
    return unit == QLatin1String("dil") ? -std::log10(quantity) : std::log10(quantity);
}

double QuantCurve::quantityAt(double ct) const
{
    if (!fit.usable())
        return qQNaN();
    const double q = fit.quantityOf(ct);
    return unit == QLatin1String("dil") ? 1 / q : q;
}

namespace Quantification {

namespace {

QString key(int sample, const QString& target)
{
    return QString::number(sample) + '\n' + target;
}

QHash<QString, CtStats> ctStats(const QVector<ResultRow>& rows, const TempData& r)
{
    QHash<QString, QVector<double>> cts;
    for (const ResultRow& row : rows)
        if (row.curveIndex < r.targets.size() && r.positives[row.curveIndex])
            cts[key(row.sample, r.targets[row.curveIndex].Name)] << r.ctValues[row.curveIndex];
    QHash<QString, CtStats> stats;
    for (auto it = cts.cbegin(); it != cts.cend(); ++it)
        stats.insert(it.key(), {CurveWindow::mean(it.value()), CurveWindow::sd(it.value()), int(it.value().size())});
    return stats;
}

QVector<QuantCurve> standardCurves(const OutData& data, const QVector<ResultRow>& rows, const TempData& r)
{
    const RunSetup& setup = data.inData.setup;
    QVector<QuantCurve> curves;
    QHash<QString, int> index;
    for (const ResultRow& row : rows) {
        const int s = row.curveIndex;
        if (s >= r.targets.size() || r.targets[s].Name == SampleResults::internalControl())
            continue;
        const SampleType type = setup.typeOf(row.sample, r.targets[s].Name);
        if (type.type != QLatin1String("std") || type.quantity <= 0)
            continue;
        const QString k = r.targets[s].Name + '\n' + QString::number(row.channel);
        if (!index.contains(k)) {
            index.insert(k, curves.size());
            curves.append({r.targets[s].Name, row.channel, type.unit, {}, {}, {}, {}, {}, {}, {}});
        }
        QuantCurve& c = curves[index.value(k)];
        c.wells << row;
        if (type.unit != c.unit && c.fit.refusal.isEmpty())
            c.fit.refusal = QStringLiteral("无法拟合：标准品的单位不同（%1、%2）").arg(RunControls::unitName(c.unit), RunControls::unitName(type.unit));
        if (!r.positives[s]) {
            c.withoutCt << row.number; // no point, and said so
            continue;
        }
        const QPointF point(QuantCurve::axisOf(type.quantity, type.unit), r.ctValues[s]);
        if (setup.excludedWells.contains(s)) {
            c.excludedPoints << point;
            c.excluded << row.number;
        } else {
            c.points << point;
        }
    }
    const QVector<CurveAcceptance>& accepted = data.inData.method.acceptances;
    for (QuantCurve& c : curves) {
        const QString refusal = c.fit.refusal;
        c.fit = StandardCurve::fit(c.points);
        c.fit.refusal = refusal;
        const auto own = std::find_if(accepted.cbegin(), accepted.cend(), [&c](const CurveAcceptance& a) { return a.target == c.target; });
        c.fit.acceptance = own == accepted.cend() ? CurveAcceptance{c.target} : *own;
        for (const ResultRow& row : c.wells) {
            StandardCheck check;
            check.quantity = setup.typeOf(row.sample, c.target).quantity;
            if (c.fit.usable() && r.positives[row.curveIndex]) {
                check.backCalculated = c.quantityAt(r.ctValues[row.curveIndex]);
                check.error = 100 * (check.backCalculated - check.quantity) / check.quantity;
            }
            c.checks << check;
        }
    }
    return curves;
}

// A standard's quantity is typed, not measured: its holes are those of the target, and those used
// have a Ct and are not left out of the curve.
void standardReplicates(const OutData& data, const QVector<ResultRow>& rows, const TempData& r, QuantSample& q)
{
    for (const ResultRow& row : rows)
        if (row.sample == q.sample && row.channel == q.channel && row.curveIndex < r.targets.size()
            && r.targets[row.curveIndex].Name == q.target) {
            ++q.replicates;
            if (r.positives[row.curveIndex] && !data.inData.setup.excludedWells.contains(row.curveIndex))
                ++q.replicatesUsed;
        }
}

QVector<QuantSample> quantities(const OutData& data, const QVector<ResultRow>& rows, const TempData& r,
                                const QVector<QuantCurve>& curves)
{
    QVector<QuantSample> out;
    for (const SampleResult& s : SampleResults::of(data, r)) {
        QuantSample q{s.sample, s.name, s.type, s.target, s.channel, s.holes, qQNaN(), qQNaN(), QString(), s.call, s.flags};
        const SampleType type = data.inData.setup.typeOf(s.sample, s.target);
        const QuantCurve* curve = nullptr;
        for (const QuantCurve& c : curves)
            if (c.target == s.target && c.channel == s.channel && c.fit.usable())
                curve = &c;
        if (type.type == QLatin1String("std") && type.quantity > 0) {
            q.quantity = type.quantity; // as typed
            q.unit = type.unit;
            standardReplicates(data, rows, r, q);
        } else if (curve && type.type == QLatin1String("unkn")) {
            QVector<double> each;
            bool outside = false;
            for (const ResultRow& row : rows) {
                if (row.sample != s.sample || row.channel != s.channel || row.curveIndex >= r.targets.size()
                    || r.targets[row.curveIndex].Name != s.target)
                    continue;
                ++q.replicates;
                if (!r.positives[row.curveIndex])
                    continue;
                each << curve->quantityAt(r.ctValues[row.curveIndex]);
                outside = outside || !curve->fit.withinStandards(r.ctValues[row.curveIndex]);
            }
            q.replicatesUsed = each.size();
            if (!each.isEmpty() && each.size() < q.replicates)
                q.flags << QStringLiteral("few-replicates");
            if (!each.isEmpty()) {
                q.quantity = CurveWindow::mean(each);
                q.quantitySd = each.size() > 1 ? CurveWindow::sd(each) : qQNaN();
                q.unit = curve->unit;
                if (outside)
                    q.flags << QStringLiteral("outside-standards");
                // Read off a curve no lab would accept: a number, but none to report.
                if (!curve->fit.accepted())
                    q.flags << QStringLiteral("curve-failed");
            }
        }
        out.append(q);
    }
    return out;
}

// The amplification factor (1 + E) of a target: typed, else from its standard curve if a lab
// would accept it, else the one an imported file gave; 0 without.
double factorOf(const OutData& data, const QVector<QuantCurve>& curves, const QString& target)
{
    const RunSetup& setup = data.inData.setup;
    if (setup.efficiencies.contains(target))
        return 1 + setup.efficiencies.value(target);
    for (const QuantCurve& c : curves)
        if (c.target == target && c.fit.accepted())
            return 1 + c.fit.efficiency;
    return setup.fileEfficiencies.contains(target) ? 1 + setup.fileEfficiencies.value(target) : 0;
}

// Which of the Cts a fold change needs is missing, in words.
QString missingCt(const CtStats& sample, const CtStats& calibrator, const QVector<CtStats>& sampleRefs, const QVector<CtStats>& calibratorRefs)
{
    if (sample.n == 0)
        return QStringLiteral("样本无Ct");
    if (calibrator.n == 0)
        return QStringLiteral("校准样本无Ct");
    const auto none = [](const CtStats& s) { return s.n == 0; };
    if (std::any_of(sampleRefs.cbegin(), sampleRefs.cend(), none))
        return QStringLiteral("样本的内参无Ct");
    if (std::any_of(calibratorRefs.cbegin(), calibratorRefs.cend(), none))
        return QStringLiteral("校准样本的内参无Ct");
    return QStringLiteral("扩增效率无效");
}

QVector<RelativeResult> relative(const OutData& data, const QVector<ResultRow>& rows, const TempData& r,
                                 const QVector<QuantCurve>& curves, const QString& calibrator, const QStringList& references,
                                 QString& note)
{
    QVector<RelativeResult> out;
    const QVector<QString>& names = data.inData.sampleNames;
    // No calibrator chosen is no calibrator, not the first sample left without a name.
    const int cal = calibrator.isEmpty() ? -1 : names.indexOf(calibrator);
    if (cal >= 0 && references.isEmpty())
        note = QStringLiteral("未选择内参靶标：不计算倍数变化");
    if (cal < 0 || references.isEmpty())
        return out;
    const QHash<QString, CtStats> stats = ctStats(rows, r);
    QStringList targets;
    for (const ResultRow& row : rows)
        if (row.curveIndex < r.targets.size() && !targets.contains(r.targets[row.curveIndex].Name))
            targets << r.targets[row.curveIndex].Name;
    // Efficiency-corrected only when every target in use has its efficiency; else perfect doubling.
    const auto inUse = [&](const QString& t) { return references.contains(t) || t != SampleResults::internalControl(); };
    bool efficiencies = true;
    for (const QString& t : targets)
        if (inUse(t))
            efficiencies = efficiencies && factorOf(data, curves, t) > 0;
    const auto factor = [&](const QString& t) { return efficiencies ? factorOf(data, curves, t) : 2.0; };
    QVector<double> referenceFactors;
    QVector<CtStats> calibratorReferences;
    for (const QString& ref : references) {
        referenceFactors << factor(ref);
        calibratorReferences << stats.value(key(cal, ref));
    }
    for (int sample = 0; sample < names.size(); ++sample) {
        QVector<CtStats> sampleReferences;
        for (const QString& ref : references)
            sampleReferences << stats.value(key(sample, ref));
        for (const QString& t : targets) {
            const QString type = data.inData.setup.typeOf(sample, t).type;
            if (references.contains(t) || !inUse(t)
                || (type != QLatin1String("unkn") && type != QLatin1String("std") && type != QLatin1String("pos")))
                continue;
            RelativeResult res;
            // A sample without a fold change is listed with the reason, not left out unsaid.
            if (!foldChange(stats.value(key(sample, t)), stats.value(key(cal, t)), factor(t), sampleReferences,
                            calibratorReferences, referenceFactors, res)) {
                res = RelativeResult{};
                res.fold = res.foldLow = res.foldHigh = res.sd = qQNaN();
                res.missing = missingCt(stats.value(key(sample, t)), stats.value(key(cal, t)), sampleReferences, calibratorReferences);
            }
            res.sample = names[sample];
            res.target = t;
            res.calibrator = calibrator;
            res.references = references;
            res.method = efficiencies ? QStringLiteral("efficiency") : QStringLiteral("ddcq");
            out.append(res);
        }
    }
    return out;
}

}

bool foldChange(const CtStats& target, const CtStats& calibratorTarget, double factor, const QVector<CtStats>& references,
                const QVector<CtStats>& calibratorReferences, const QVector<double>& referenceFactors, RelativeResult& out)
{
    // A relative quantity against the calibrator, and the share of it its SD is.
    const auto rq = [](const CtStats& own, const CtStats& base, double a, double& value, double& relSd) {
        if (own.n == 0 || base.n == 0 || !(a > 1))
            return false;
        value = std::pow(a, base.mean - own.mean);
        relSd = own.sd * std::log(a);
        return true;
    };
    const int k = references.size();
    if (k == 0 || calibratorReferences.size() != k || referenceFactors.size() != k)
        return false;
    double logSum = 0, nfRelVar = 0;
    for (int i = 0; i < k; ++i) {
        double v = 0, rel = 0;
        if (!rq(references[i], calibratorReferences[i], referenceFactors[i], v, rel))
            return false;
        logSum += std::log(v);
        nfRelVar += std::pow(rel / k, 2);
    }
    double v = 0, rel = 0;
    if (!rq(target, calibratorTarget, factor, v, rel))
        return false;
    out.fold = v / std::exp(logSum / k);
    // One replicate has no spread to propagate: its SD and range are unknown, never zero.
    const bool single = target.n < 2 || std::any_of(references.cbegin(), references.cend(), [](const CtStats& s) { return s.n < 2; });
    if (single) {
        out.sd = out.foldLow = out.foldHigh = qQNaN();
        return true;
    }
    out.sd = out.fold * std::sqrt(rel * rel + nfRelVar);
    // The range is symmetric in log space, as a Ct's SD is: 2^-(ddCt -+ SD) for doubling.
    out.foldLow = out.fold * std::exp(-out.sd / out.fold);
    out.foldHigh = out.fold * std::exp(out.sd / out.fold);
    return true;
}

double holeQuantity(const OutData& data, const QuantResult& q, int sample, const QString& target, int channel, double ct, QString& unit)
{
    const SampleType type = data.inData.setup.typeOf(sample, target);
    if (target == SampleResults::internalControl())
        return qQNaN(); // a standard's quantity is of its target, not of the control beside it
    if (type.type == QLatin1String("std") && type.quantity > 0) {
        unit = type.unit;
        return type.quantity;
    }
    if (type.type != QLatin1String("unkn") || ct <= 0)
        return qQNaN();
    for (const QuantCurve& c : q.curves)
        if (c.target == target && c.channel == channel && c.fit.usable()) {
            unit = c.unit;
            return c.quantityAt(ct);
        }
    return qQNaN();
}

QVector<QPointF> unknownsOn(const QuantResult& q, const QuantCurve& c)
{
    QVector<QPointF> out;
    if (!c.fit.usable())
        return out;
    for (const QuantSample& s : q.samples)
        if (s.target == c.target && s.channel == c.channel && s.type == QLatin1String("unkn") && std::isfinite(s.quantity)
            && s.call != SampleResults::invalid()) {
            const double lx = QuantCurve::axisOf(s.quantity, c.unit);
            out << QPointF(lx, c.fit.slope * lx + c.fit.intercept);
        }
    return out;
}

QuantResult of(const OutData& data, const TempData& results, const QString& calibrator, const QStringList& references)
{
    QuantResult q;
    const QVector<ResultRow> rows = resultRows(data);
    q.run = RunValidity::of(data, results);
    q.curves = standardCurves(data, rows, results);
    // Quantities off a curve no lab would accept are not reportable: the run says so.
    for (const QuantCurve& c : q.curves) {
        const QString why = c.fit.fault().isEmpty() ? c.fit.warnings().join(QStringLiteral("，")) : c.fit.fault();
        if (why.isEmpty())
            continue;
        q.run.valid = false;
        q.run.reasons << QStringLiteral("标准曲线%1：%2").arg(c.target, why);
    }
    q.samples = quantities(data, rows, results, q.curves);
    const RunSetup& setup = data.inData.setup;
    q.relative = relative(data, rows, results, q.curves, calibrator.isEmpty() ? setup.calibrator : calibrator,
                          references.isEmpty() ? setup.references : references, q.relativeNote);
    // A fold change of a sample whose calls the controls made invalid is no result to report.
    for (RelativeResult& r : q.relative)
        r.invalid = std::any_of(q.samples.cbegin(), q.samples.cend(), [&r](const QuantSample& s) {
            return s.name == r.sample && s.call == SampleResults::invalid();
        });
    return q;
}

}
