#include "cli/ResultTable.h"

#include "analysis/ResultRows.h"
#include "analysis/ResultText.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "method/RecordEdits.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QString twoDecimals(double value)
{
    return value == 0 ? QString("-") : QString::number(value, 'f', 2);
}

template <typename T>
QJsonArray array(const QVector<T>& values)
{
    QJsonArray a;
    for (const T& v : values)
        a.append(v);
    return a;
}

// A record whose readings or method were changed after the run says so before its results.
void printEdits(QTextStream& out, const OutData& data)
{
    for (const QString& mark : RecordEdits::of(data.inData.remark))
        out << mark << '\n';
}

QJsonArray editsJson(const OutData& data)
{
    return QJsonArray::fromStringList(RecordEdits::of(data.inData.remark));
}
}

void printResultTable(QTextStream& out, const OutData& data)
{
    const TempData results(data);
    const QStringList names = data.inData.method.ChannelNames;
    printEdits(out, data);
    out << QStringLiteral("样本号\t样本名\t孔位\t位置\t通道\t靶标\tCt值\t结果\tTm\n");
    for (const ResultRow& row : resultRows(data)) {
        const int s = row.curveIndex;
        if (s < 0 || s >= results.ctValues.size())
            continue;
        out << row.sample + 1 << '\t' << row.sampleName << '\t' << row.number << '\t' << row.holeNumber << '\t'
            << names.value(row.channel, QString::number(row.channel)) << '\t' << results.targets[s].Name << '\t'
            << twoDecimals(results.ctValues[s]) << '\t' << ResultText::call(results.positives[s], data.runComplete) << '\t'
            << twoDecimals(results.tmValues[s]) << '\n';
    }
}

namespace {
// How the baseline window was chosen: "fixed" (as set), "auto" (the automatic step), "adaptive"
// (relative to the curve's noise).
QString windowName(OutData::WindowKind kind)
{
    return kind == OutData::WindowKind::Fixed ? "fixed" : kind == OutData::WindowKind::Auto ? "auto" : "adaptive";
}
}

void printResultJson(QTextStream& out, const OutData& data)
{
    const TempData r(data);
    const int channels = qMax(1, data.inData.method.ChannelColor);
    const QMap<int, int> numbers = data.inData.method.runningNumbers();
    QJsonArray curves;
    for (int s = 0; s < r.ctValues.size(); ++s) {
        const TargetInfo& t = r.targets[s];
        const int position = s / channels + 1;
        // A hole no sample uses has no running number.
        const QJsonValue hole = numbers.contains(position) ? QJsonValue(numbers.value(position)) : QJsonValue();
        curves.append(QJsonObject{{"index", s},
                                  {"hole", hole},
                                  {"position", position},
                                  {"target", t.Name},
                                  {"Start", t.Start},
                                  {"End", t.End},
                                  {"window", windowName(r.windowKinds[s])},
                                  {"Threshold", t.Threshold},
                                  {"ct", r.ctValues[s] > 0 ? QJsonValue(r.ctValues[s]) : QJsonValue()},
                                  {"tm", r.tmValues[s] > 0 ? QJsonValue(r.tmValues[s]) : QJsonValue()},
                                  {"positive", bool(r.positives[s])},
                                  {"relativeLength", r.relativeLines[s].size()},
                                  {"meltPeakLength", r.newMeltLines[s].size()},
                                  {"flags", QJsonArray::fromStringList(r.flags[s])},
                                  {"peaks", array(r.meltPeaks[s])}});
    }
    out << QJsonDocument(QJsonObject{{"name", data.inData.method.Name}, {"edits", editsJson(data)}, {"curves", curves}}).toJson();
}

void printSampleTable(QTextStream& out, const OutData& data)
{
    printEdits(out, data);
    out << SampleResults::headers().join('\t') << '\n';
    for (const SampleResult& r : SampleResults::of(data, TempData(data)))
        out << SampleResults::cells(r, data.inData.method.ChannelNames).join('\t') << '\n';
}

void printSampleJson(QTextStream& out, const OutData& data)
{
    QJsonArray samples;
    for (const SampleResult& r : SampleResults::of(data, TempData(data)))
        samples.append(QJsonObject{{"sample", r.sample + 1},
                                   {"name", r.name},
                                   {"target", r.target},
                                   {"channel", data.inData.method.ChannelNames.value(r.channel, QString::number(r.channel))},
                                   {"holes", array(r.holes)},
                                   {"positions", array(r.positions)},
                                   {"positive", r.positive},
                                   {"n", r.n},
                                   {"meanCt", r.meanCt},
                                   {"sdCt", r.sdCt},
                                   {"call", r.call},
                                   {"flags", QJsonArray::fromStringList(r.flags)}});
    out << QJsonDocument(QJsonObject{{"name", data.inData.method.Name}, {"edits", editsJson(data)}, {"samples", samples}}).toJson();
}
