#include "records/RecordChanges.h"

#include "analysis/SampleResults.h"
#include "files/OutData.h"
#include "method/RunControls.h"

#include <QMap>

namespace {

QString thresholdText(const TargetInfo& t)
{
    switch (t.AutoThreshold) {
    case 0: return QString::number(t.Threshold, 'f', 2);
    case 2: return QStringLiteral("整板自动");
    default: return QStringLiteral("自动");
    }
}

QString windowText(const TargetInfo& t)
{
    return t.AutoRange != 0 ? QStringLiteral("自动") : QStringLiteral("%1-%2").arg(t.Start).arg(t.End);
}

// The settings a person changes per target, as they read them.
QVector<QPair<QString, QString>> settingsOf(const TargetInfo& t)
{
    return {{QStringLiteral("名称"), t.Name},
            {QStringLiteral("阈值"), thresholdText(t)},
            {QStringLiteral("基线"), windowText(t)},
            {QStringLiteral("阳性判定幅度"), QString::number(t.BorderThreshold, 'f', 2)},
            {QStringLiteral("Ct上限"), QString::number(t.CtThreshold, 'f', 2)}};
}

struct Key
{
    QString channel, setting, oldValue, newValue;
    bool operator<(const Key& o) const
    {
        return std::tie(channel, setting, oldValue, newValue) < std::tie(o.channel, o.setting, o.oldValue, o.newValue);
    }
};

void targetChanges(const OutData& before, const OutData& after, QVector<RecordChange>& out)
{
    const SMethod& a = before.inData.method;
    const SMethod& b = after.inData.method;
    const QMap<int, int> numbers = b.runningNumbers();
    QMap<Key, QVector<int>> holes;
    const int holeCount = std::min(a.holeTargets.size(), b.holeTargets.size());
    for (int h = 0; h < holeCount; ++h) {
        // A position no sample uses has no result to change.
        if (!numbers.isEmpty() && !numbers.contains(h + 1))
            continue;
        for (int c = 0; c < b.ChannelNames.size(); ++c) {
            const auto was = settingsOf(a.holeTargets[h].at(c));
            const auto now = settingsOf(b.holeTargets[h].at(c));
            for (int i = 0; i < was.size(); ++i)
                if (was[i].second != now[i].second)
                    holes[{b.ChannelNames[c], was[i].first, was[i].second, now[i].second}].append(numbers.value(h + 1, h + 1));
        }
    }
    for (auto it = holes.cbegin(); it != holes.cend(); ++it) {
        QVector<int> list = it.value();
        std::sort(list.begin(), list.end());
        out.append({QStringLiteral("修改分析设置"),
                    QStringLiteral("%1 %2（孔位 %3）").arg(it.key().channel, it.key().setting, SampleResults::holeList(list)),
                    it.key().oldValue, it.key().newValue});
    }
}

QString typeText(const SampleType& t)
{
    QString text = RunControls::typeName(t.type);
    if (t.type == QLatin1String("std"))
        text += QStringLiteral(" %1 %2").arg(t.quantity).arg(t.unit);
    return text;
}

// A sample's type, with what it is for the targets it is typed apart for.
QString typeText(const RunSetup& setup, int s)
{
    QString text = typeText(setup.sampleTypes.value(s));
    const QMap<QString, SampleType> own = setup.targetTypes.value(s);
    for (auto it = own.cbegin(); it != own.cend(); ++it)
        text += QStringLiteral("；%1：%2").arg(it.key(), typeText(it.value()));
    return text;
}

void sampleChanges(const InData& a, const InData& b, QVector<RecordChange>& out)
{
    const int samples = std::max(a.sampleNames.size(), b.sampleNames.size());
    for (int s = 0; s < samples; ++s) {
        const QString what = QStringLiteral("样本%1").arg(s + 1);
        const QString nameA = a.sampleNames.value(s), nameB = b.sampleNames.value(s);
        if (nameA != nameB)
            out.append({QStringLiteral("修改样本"), what + QStringLiteral(" 名称"), nameA, nameB});
        if (a.sampleRemarks.value(s) != b.sampleRemarks.value(s))
            out.append({QStringLiteral("修改样本"), what + QStringLiteral(" 备注"), a.sampleRemarks.value(s), b.sampleRemarks.value(s)});
        const QString typeA = typeText(a.setup, s), typeB = typeText(b.setup, s);
        if (typeA != typeB)
            out.append({QStringLiteral("修改样本"), what + QStringLiteral(" 类型"), typeA, typeB});
    }
}

QString exclusionText(const QMap<int, QString>& excluded, int curve)
{
    return excluded.contains(curve) ? QStringLiteral("排除：") + excluded.value(curve) : QStringLiteral("纳入");
}

QString listText(QStringList list)
{
    list.removeAll(QString());
    return list.isEmpty() ? QStringLiteral("（无）") : list.join(QStringLiteral("、"));
}

QString efficiencyText(const QMap<QString, double>& efficiencies, const QString& target)
{
    return efficiencies.contains(target) ? QStringLiteral("%1 %").arg(100 * efficiencies.value(target), 0, 'f', 1) : QStringLiteral("按标准曲线");
}

// The quantification choices in the words of the 定量 tab: which standard hole was left out and
// why, the calibrator, the references, a target's typed efficiency.
void setupChanges(const InData& a, const InData& b, QVector<RecordChange>& out)
{
    const QString action = QStringLiteral("修改定量设置");
    const QMap<int, int> numbers = b.method.runningNumbers();
    const int channels = std::max(1, b.method.ChannelColor);
    QList<int> curves = a.setup.excludedWells.keys() + b.setup.excludedWells.keys();
    std::sort(curves.begin(), curves.end());
    curves.erase(std::unique(curves.begin(), curves.end()), curves.end());
    for (int s : curves) {
        const QString was = exclusionText(a.setup.excludedWells, s), now = exclusionText(b.setup.excludedWells, s);
        const int hole = s / channels + 1;
        if (was != now)
            out.append({action, QStringLiteral("标准品 孔位%1 %2").arg(numbers.value(hole, hole)).arg(b.method.ChannelNames.value(s % channels)),
                        was, now});
    }
    if (a.setup.calibrator != b.setup.calibrator)
        out.append({action, QStringLiteral("校准样本"), listText({a.setup.calibrator}), listText({b.setup.calibrator})});
    if (a.setup.references != b.setup.references)
        out.append({action, QStringLiteral("内参靶标"), listText(a.setup.references), listText(b.setup.references)});
    QStringList targets = a.setup.efficiencies.keys() + b.setup.efficiencies.keys();
    targets.removeDuplicates();
    for (const QString& t : targets)
        if (efficiencyText(a.setup.efficiencies, t) != efficiencyText(b.setup.efficiencies, t))
            out.append({action, QStringLiteral("扩增效率 %1").arg(t), efficiencyText(a.setup.efficiencies, t), efficiencyText(b.setup.efficiencies, t)});
}

}

namespace RecordChanges {

QVector<RecordChange> between(const OutData& before, const OutData& after)
{
    QVector<RecordChange> out;
    SMethod methodA = before.inData.method;
    SMethod methodB = after.inData.method;
    methodA.holeTargets = methodB.holeTargets;
    if (!(methodA == methodB))
        out.append({QStringLiteral("替换方法"), QStringLiteral("方法"), methodA.Name, methodB.Name});
    targetChanges(before, after, out);
    sampleChanges(before.inData, after.inData, out);
    setupChanges(before.inData, after.inData, out);
    if (before.inData.remark != after.inData.remark)
        out.append({QStringLiteral("修改备注"), QStringLiteral("备注"), before.inData.remark, after.inData.remark});
    if (before.pdLines != after.pdLines)
        out.append({QStringLiteral("替换读数"), QStringLiteral("荧光读数"), QStringLiteral("%1条曲线").arg(before.pdLines.size()),
                    QStringLiteral("%1条曲线").arg(after.pdLines.size())});
    return out;
}

}
