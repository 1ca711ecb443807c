#include "analysis/RunValidity.h"

#include "analysis/ResultRows.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"

namespace {
bool isNegativeControl(const QString& type)
{
    return type == QLatin1String("ntc") || type == QLatin1String("nac") || type == QLatin1String("ntp");
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
    if (rules.isEmpty() || !data.runComplete)
        return v; // an unfinished run calls nothing negative anyway
    QVector<int> amplifiedNegatives, failedPositives;
    for (const ResultRow& row : resultRows(data)) {
        const int s = row.curveIndex;
        if (s >= r.targets.size())
            continue;
        const QString type = data.inData.setup.sampleTypes.value(row.sample).type;
        const double ct = r.positives[s] ? r.ctValues[s] : 0;
        for (const ControlRule& rule : rules) {
            if (rule.target != r.targets[s].Name)
                continue;
            if (rule.checkNtc && isNegativeControl(type) && ct > 0 && (rule.ntcMaxCt <= 0 || ct <= rule.ntcMaxCt))
                amplifiedNegatives << row.number;
            if (type == QLatin1String("pos") && (ct <= 0 || !within(ct, rule.posCtLow, rule.posCtHigh)))
                failedPositives << row.number;
            // A control that did not amplify at all is already a failed control.
            if (rule.target == SampleResults::internalControl() && ct > 0 && !within(ct, rule.icCtLow, rule.icCtHigh))
                v.controlOutOfRange[row.sample] << row.number;
        }
    }
    if (!amplifiedNegatives.isEmpty()) {
        v.samplesInvalid = true;
        v.reasons << QStringLiteral("阴性对照扩增：孔位 %1").arg(SampleResults::holeList(amplifiedNegatives));
    }
    if (!failedPositives.isEmpty()) {
        v.negativesInvalid = true;
        v.reasons << QStringLiteral("阳性对照失败：孔位 %1").arg(SampleResults::holeList(failedPositives));
    }
    v.valid = v.reasons.isEmpty();
    return v;
}
