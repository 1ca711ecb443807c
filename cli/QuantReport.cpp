#include "cli/QuantReport.h"

#include "analysis/Quantification.h"
#include "analysis/ResultText.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "method/RunControls.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

QJsonValue number(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue();
}

QString text(double v, int decimals)
{
    return std::isfinite(v) ? QString::number(v, 'f', decimals) : QStringLiteral("-");
}

QString percent(double v)
{
    return std::isfinite(v) ? QString::number(v, 'f', 1) + '%' : QStringLiteral("-");
}

QJsonArray array(const QVector<int>& values)
{
    QJsonArray a;
    for (int v : values)
        a.append(v);
    return a;
}

QString channelName(const OutData& data, int channel)
{
    return data.inData.method.ChannelNames.value(channel, QString::number(channel));
}

QJsonArray standardsJson(const QuantCurve& c, const RunSetup& setup)
{
    QJsonArray a;
    for (int w = 0; w < c.wells.size(); ++w)
        a.append(QJsonObject{{"hole", c.wells[w].number},
                             {"sample", c.wells[w].sampleName},
                             {"quantity", number(c.checks[w].quantity)},
                             {"backCalculated", number(c.checks[w].backCalculated)},
                             {"errorPercent", number(c.checks[w].error)},
                             {"excluded", setup.excludedWells.contains(c.wells[w].curveIndex)
                                              ? QJsonValue(setup.excludedWells.value(c.wells[w].curveIndex))
                                              : QJsonValue()}});
    return a;
}

void printStandards(QTextStream& out, const QVector<QuantCurve>& curves, const RunSetup& setup)
{
    out << '\n' << QStringLiteral("孔位\t样本名\t靶标\t定量\t反算定量\t偏差\t排除原因\n");
    for (const QuantCurve& c : curves)
        for (int w = 0; w < c.wells.size(); ++w)
            out << c.wells[w].number << '\t' << c.wells[w].sampleName << '\t' << c.target << '\t' << ResultText::quantity(c.checks[w].quantity)
                << '\t' << ResultText::quantity(c.checks[w].backCalculated) << '\t'
                << percent(c.checks[w].error) << '\t'
                << setup.excludedWells.value(c.wells[w].curveIndex, QStringLiteral("-")) << '\n';
}

}

void printQuantTables(QTextStream& out, const OutData& data, const QString& calibrator, const QStringList& references)
{
    const QuantResult q = Quantification::of(data, TempData(data), calibrator, references);
    out << (q.run.valid ? QStringLiteral("运行有效") : QStringLiteral("运行无效：") + q.run.reasons.join(QStringLiteral("；"))) << "\n\n";
    out << QStringLiteral("靶标\t通道\t斜率\t截距\tR²\t效率\t效率95%区间\t点数\t排除孔位\t无Ct孔位\t质量\n");
    for (const QuantCurve& c : q.curves)
        out << c.target << '\t' << channelName(data, c.channel) << '\t' << text(c.fit.slope, 3) << '\t' << text(c.fit.intercept, 2)
            << '\t' << text(c.fit.r2, 4) << '\t' << percent(100 * c.fit.efficiency) << '\t'
            << (c.fit.usable() ? percent(100 * c.fit.efficiencyLow) + '-' + percent(100 * c.fit.efficiencyHigh) : QStringLiteral("-")) << '\t'
            << c.fit.points << '\t'
            << (c.excluded.isEmpty() ? QStringLiteral("-") : SampleResults::holeList(c.excluded)) << '\t'
            << (c.withoutCt.isEmpty() ? QStringLiteral("-") : SampleResults::holeList(c.withoutCt)) << '\t' << c.fit.quality() << '\n';
    if (!q.curves.isEmpty())
        printStandards(out, q.curves, data.inData.setup);
    out << '\n' << QStringLiteral("样本名\t类型\t靶标\t通道\t孔位\t定量\t定量标准差\t单位\t结果\t标记\n");
    for (const QuantSample& s : q.samples)
        out << s.name << '\t' << RunControls::typeName(s.type) << '\t' << s.target << '\t' << channelName(data, s.channel) << '\t'
            << SampleResults::holeList(s.holes) << '\t' << ResultText::quantity(s.quantity) << '\t' << ResultText::quantity(s.quantitySd) << '\t'
            << (s.unit.isEmpty() ? QStringLiteral("-") : RunControls::unitName(s.unit)) << '\t' << s.call << '\t'
            << (s.flags.isEmpty() ? QStringLiteral("-") : s.flags.join(',')) << '\n';
    if (!q.relativeNote.isEmpty())
        out << '\n' << q.relativeNote << '\n';
    if (q.relative.isEmpty())
        return;
    out << '\n' << QStringLiteral("样本名\t靶标\t校准样本\t内参靶标\t方法\t倍数变化\t标准差\t范围\t结果\n");
    for (const RelativeResult& r : q.relative)
        out << r.sample << '\t' << r.target << '\t' << r.calibrator << '\t' << r.references.join(',') << '\t' << r.method << '\t'
            << ResultText::fold(r.fold, r.missing) << '\t' << text(r.sd, 3) << '\t'
            << (std::isfinite(r.foldLow) ? text(r.foldLow, 3) + '-' + text(r.foldHigh, 3) : QStringLiteral("-")) << '\t'
            << (r.invalid ? SampleResults::invalid() : QStringLiteral("-")) << '\n';
}

void printQuantJson(QTextStream& out, const OutData& data, const QString& calibrator, const QStringList& references)
{
    const QuantResult q = Quantification::of(data, TempData(data), calibrator, references);
    QJsonArray samples;
    for (const QuantSample& s : q.samples)
        samples.append(QJsonObject{{"name", s.name},
                                   {"type", s.type},
                                   {"target", s.target},
                                   {"channel", channelName(data, s.channel)},
                                   {"holes", array(s.holes)},
                                   {"quantity", number(s.quantity)},
                                   {"unit", s.unit.isEmpty() ? QJsonValue() : QJsonValue(s.unit)},
                                   {"quantitySd", number(s.quantitySd)},
                                   {"call", s.call},
                                   {"flags", QJsonArray::fromStringList(s.flags)},
                                   {"replicatesUsed", s.replicatesUsed},
                                   {"replicates", s.replicates}});
    QJsonArray curves;
    for (const QuantCurve& c : q.curves)
        curves.append(QJsonObject{{"target", c.target},
                                  {"channel", channelName(data, c.channel)},
                                  {"slope", number(c.fit.slope)},
                                  {"intercept", number(c.fit.intercept)},
                                  {"r2", number(c.fit.r2)},
                                  {"efficiency", c.fit.usable() ? number(c.fit.efficiency) : QJsonValue()},
                                  {"efficiencyLow", c.fit.usable() ? number(c.fit.efficiencyLow) : QJsonValue()},
                                  {"efficiencyHigh", c.fit.usable() ? number(c.fit.efficiencyHigh) : QJsonValue()},
                                  {"points", c.fit.points},
                                  {"levels", c.fit.levels},
                                  {"fault", c.fit.fault().isEmpty() ? QJsonValue() : QJsonValue(c.fit.fault())},
                                  {"warnings", QJsonArray::fromStringList(c.fit.warnings())},
                                  {"excluded", array(c.excluded)},
                                  {"noCt", array(c.withoutCt)},
                                  {"standards", standardsJson(c, data.inData.setup)}});
    QJsonArray relative;
    for (const RelativeResult& r : q.relative)
        relative.append(QJsonObject{{"sample", r.sample},
                                    {"target", r.target},
                                    {"calibrator", r.calibrator},
                                    {"references", QJsonArray::fromStringList(r.references)},
                                    {"method", r.method},
                                    {"foldChange", number(r.fold)},
                                    {"foldLow", number(r.foldLow)},
                                    {"foldHigh", number(r.foldHigh)},
                                    {"sd", number(r.sd)},
                                    {"invalid", r.invalid},
                                    {"missing", r.missing.isEmpty() ? QJsonValue() : QJsonValue(r.missing)}});
    out << QJsonDocument(QJsonObject{{"run", QJsonObject{{"valid", q.run.valid}, {"reasons", QJsonArray::fromStringList(q.run.reasons)}}},
                                     {"samples", samples},
                                     {"standardCurves", curves},
                                     {"relative", relative},
                                     {"relativeNote", q.relativeNote.isEmpty() ? QJsonValue() : QJsonValue(q.relativeNote)}})
               .toJson();
}
