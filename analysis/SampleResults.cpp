#include "analysis/SampleResults.h"

#include "analysis/CurveWindow.h"
#include "analysis/QcFlags.h"
#include "analysis/ResultRows.h"
#include "analysis/ResultText.h"
#include "analysis/RunValidity.h"
#include "analysis/TempData.h"

#include <QHash>

namespace SampleResults {

namespace {

// The positives' Ct of a result are kept aside until all its replicates are in.
void addReplicate(SampleResult& r, QVector<double>& cts, const TempData& t, const ResultRow& row)
{
    const int s = row.curveIndex;
    r.holes.append(row.number);
    r.positions.append(row.holeNumber);
    ++r.n;
    if (t.positives[s])
        cts.append(t.ctValues[s]);
    for (const QString& f : t.flags.value(s))
        if (!r.flags.contains(f))
            r.flags << f;
}

void finish(SampleResult& r, const QVector<double>& cts, bool controlled, const QVector<int>& failedControls, bool runComplete)
{
    const bool controlFailed = !failedControls.isEmpty();
    r.positive = cts.size();
    r.meanCt = CurveWindow::mean(cts);
    r.sdCt = CurveWindow::sd(cts);
    if (r.positive > 0)
        r.call = ResultText::call(true, runComplete);
    else if (!runComplete)
        r.call = ResultText::call(false, false);
    else
        r.call = controlled && controlFailed ? invalid() : ResultText::call(false, true);
    if (r.call == invalid()) {
        // Why it is invalid stands first among its remarks.
        r.flags.prepend(QStringLiteral("control-failed"));
        r.failedControls = failedControls;
    }
}

}

QString holeList(const QVector<int>& numbers)
{
    QStringList parts;
    for (int i = 0; i < numbers.size();) {
        int j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1)
            ++j;
        parts << (j > i + 1 ? QString("%1-%2").arg(numbers[i]).arg(numbers[j]) : QString::number(numbers[i]));
        if (j == i + 1)
            parts << QString::number(numbers[j]);
        i = j + 1;
    }
    return parts.join(',');
}

QString internalControl()
{
    return QStringLiteral("内参");
}

QString invalid()
{
    return QStringLiteral("无效");
}

QVector<SampleResult> of(const OutData& data, const TempData& t)
{
    const QVector<ResultRow> rows = resultRows(data);
    QVector<SampleResult> out;
    QVector<QVector<double>> cts;
    // Per sample: whether it has control holes, and whether any of them failed.
    QMap<int, bool> controlled;
    QMap<int, QVector<int>> failedControls;
    QHash<QString, int> index;
    for (const ResultRow& row : rows) {
        const int s = row.curveIndex;
        if (s >= t.targets.size())
            continue;
        const QString& target = t.targets[s].Name;
        if (target == internalControl()) {
            controlled[row.sample] = true;
            if (!t.positives[s])
                failedControls[row.sample] << row.number;
            continue;
        }
        const QString key = QString("%1/%2/%3").arg(row.sample).arg(row.channel).arg(target);
        int k = index.value(key, out.size());
        if (k == out.size()) {
            index.insert(key, k);
            SampleResult r;
            r.sample = row.sample;
            r.name = row.sampleName;
            r.target = target;
            r.channel = row.channel;
            out.append(r);
            cts.append(QVector<double>());
        }
        addReplicate(out[k], cts[k], t, row);
    }
    const RunValidity validity = RunValidity::of(data, t);
    for (auto it = validity.controlOutOfRange.cbegin(); it != validity.controlOutOfRange.cend(); ++it)
        failedControls[it.key()] += it.value();
    for (int k = 0; k < out.size(); ++k) {
        SampleResult& r = out[k];
        r.type = data.inData.setup.typeOf(r.sample, r.target).type;
        finish(r, cts[k], controlled.value(r.sample), failedControls.value(r.sample), data.runComplete);
        // Failed run controls say nothing of the controls themselves, only of what they guard.
        const bool guarded = r.type == QLatin1String("unkn") || r.type == QLatin1String("std");
        const bool negative = r.call == ResultText::call(false, true);
        if (guarded && r.call != invalid() && (validity.samplesInvalid || (validity.negativesInvalid && negative))) {
            r.call = invalid();
            r.flags.prepend(QStringLiteral("run-invalid"));
            r.runReasons = validity.reasons;
        }
    }
    return out;
}

QStringList headers()
{
    return {QStringLiteral("样本号"), QStringLiteral("样本名"), QStringLiteral("靶标"), QStringLiteral("通道"),
            QStringLiteral("孔位"), QStringLiteral("阳性/重复"), QStringLiteral("平均Ct"), QStringLiteral("Ct标准差"),
            QStringLiteral("结果"), QStringLiteral("质控标记"), QStringLiteral("位置")};
}

bool controlFailed(const OutData& data, const TempData& results, int s)
{
    return data.runComplete && s >= 0 && s < results.targets.size() && !results.positives[s]
        && results.targets[s].Name == internalControl();
}

QStringList cells(const SampleResult& r, const QStringList& channelNames)
{
    QStringList remarks;
    for (const QString& f : r.flags)
        remarks << (f == QLatin1String("control-failed")
                        ? QcFlags::name(f) + QStringLiteral("（孔位 %1）").arg(holeList(r.failedControls))
                        : f == QLatin1String("run-invalid") ? QcFlags::name(f) + QStringLiteral("（%1）").arg(r.runReasons.join(QStringLiteral("；")))
                                                            : QcFlags::name(f));
    return {QString::number(r.sample + 1),
            r.name,
            r.target,
            channelNames.value(r.channel, QString::number(r.channel)),
            holeList(r.holes),
            QString("%1/%2").arg(r.positive).arg(r.n),
            ResultText::ct(r.meanCt),
            r.positive > 1 ? QString::number(r.sdCt, 'f', 2) : QStringLiteral("-"),
            r.call,
            remarks.join(QStringLiteral("、")),
            holeList(r.positions)};
}

}
