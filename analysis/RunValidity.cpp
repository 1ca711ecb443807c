#include "analysis/RunValidity.h"

#include "analysis/ResultRows.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"

#include <algorithm>

namespace {
bool isNegativeControl(const QString& type)
{
    return type == QLatin1String("ntc") || type == QLatin1String("nac") || type == QLatin1String("ntp") || type == QLatin1String("nrt");
}

bool within(double ct, double low, double high)
{
    return high <= 0 || (ct >= low && ct <= high);
}
}

RunValidity RunValidity::of(const OutData& data, const TempData& r)
{
    RunValidity v;
    const QVector<ControlRule>& rules = data.inData.method.controlRules;
    if (!data.runComplete)
        return v; // an unfinished run calls nothing negative anyway
    QVector<int> amplifiedNegatives, failedPositives;
    QStringList amplifiedTargets;
    QMap<int, bool> positiveHoles; // running number -> whether any target amplified
    bool negativesOnChip = false, positivesOnChip = false;
    for (const ResultRow& row : resultRows(data)) {
        const int s = row.curveIndex;
        if (s >= r.targets.size())
            continue;
        const QString& target = r.targets[s].Name;
        const QString type = data.inData.setup.typeOf(row.sample, target).type;
        const double ct = r.positives[s] ? r.ctValues[s] : 0;
        negativesOnChip = negativesOnChip || isNegativeControl(type);
        positivesOnChip = positivesOnChip || type == QLatin1String("pos");
        // A negative control must not amplify its targets: by default for every target but the
        // internal control, which may be added to every well; a method's rule says otherwise.
        const auto ruled = std::find_if(rules.cbegin(), rules.cend(), [&target](const ControlRule& rule) { return rule.target == target; });
        const bool checked = ruled == rules.cend() ? target != SampleResults::internalControl() : ruled->checkNtc;
        const double maxCt = ruled == rules.cend() ? 0 : ruled->ntcMaxCt;
        if (checked && isNegativeControl(type) && ct > 0 && (maxCt <= 0 || ct <= maxCt)) {
            amplifiedNegatives << row.number;
            if (!amplifiedTargets.contains(target))
                amplifiedTargets << target;
        }
        // Without a rule, a positive control hole in which no target amplified shows nothing
        // worked; a multiplex control need not carry every target, and the internal control is
        // checked in every sample's holes instead.
        if (ruled == rules.cend() && type == QLatin1String("pos") && target != SampleResults::internalControl())
            positiveHoles[row.number] = positiveHoles.value(row.number) || ct > 0;
        for (const ControlRule& rule : rules) {
            if (rule.target != target)
                continue;
            if (type == QLatin1String("pos") && (ct <= 0 || !within(ct, rule.posCtLow, rule.posCtHigh)))
                failedPositives << row.number;
            // A control that did not amplify at all is already a failed control.
            if (rule.target == SampleResults::internalControl() && ct > 0 && !within(ct, rule.icCtLow, rule.icCtHigh))
                v.controlOutOfRange[row.sample] << row.number;
        }
    }
    for (auto it = positiveHoles.cbegin(); it != positiveHoles.cend(); ++it)
        if (!it.value() && !failedPositives.contains(it.key()))
            failedPositives << it.key();
    std::sort(failedPositives.begin(), failedPositives.end());
    if (!amplifiedNegatives.isEmpty()) {
        v.samplesInvalid = true;
        v.reasons << QStringLiteral("阴性对照扩增：孔位 %1（%2）").arg(SampleResults::holeList(amplifiedNegatives), amplifiedTargets.join(QStringLiteral("、")));
    }
    if (!failedPositives.isEmpty()) {
        v.negativesInvalid = true;
        v.reasons << QStringLiteral("阳性对照失败：孔位 %1").arg(SampleResults::holeList(failedPositives));
    }
    // A rule whose control is not on the chip was not met: nothing showed the run worked.
    // Without its negative control no positive call is shown to be true, without its positive
    // control no negative one: those calls are invalid as if the control had failed.
    QStringList missing;
    for (const ControlRule& rule : rules) {
        if (rule.checkNtc && !negativesOnChip) {
            missing << QStringLiteral("阴性对照（%1）").arg(rule.target);
            v.samplesInvalid = true;
        }
        if (rule.posCtHigh > 0 && !positivesOnChip) {
            missing << QStringLiteral("阳性对照（%1）").arg(rule.target);
            v.negativesInvalid = true;
        }
    }
    if (!missing.isEmpty())
        v.reasons << QStringLiteral("缺少对照：") + missing.join(QStringLiteral("、"));
    v.valid = v.reasons.isEmpty();
    return v;
}
