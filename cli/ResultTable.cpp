#include "cli/ResultTable.h"

#include "analysis/ResultRows.h"
#include "analysis/ResultText.h"
#include "analysis/TempData.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QString twoDecimals(double value)
{
    return value == 0 ? QString("-") : QString::number(value, 'f', 2);
}
}

void printResultTable(QTextStream& out, const OutData& data)
{
    const TempData results(data);
    const QStringList names = data.inData.method.ChannelNames;
    out << QStringLiteral("样本号\t样本名\t孔位\t通道\t靶标\tCt值\t结果\tTm\n");
    for (const ResultRow& row : resultRows(data)) {
        const int s = row.curveIndex;
        if (s < 0 || s >= results.ctValues.size())
            continue;
        out << row.sample + 1 << '\t' << row.sampleName << '\t' << row.holeNumber << '\t'
            << names.value(row.channel, QString::number(row.channel)) << '\t' << results.targets[s].Name << '\t'
            << twoDecimals(results.ctValues[s]) << '\t' << ResultText::call(results.positives[s], data.runComplete) << '\t'
            << twoDecimals(results.tmValues[s]) << '\n';
    }
}

void printResultJson(QTextStream& out, const OutData& data)
{
    const TempData r(data);
    QJsonArray curves;
    for (int s = 0; s < r.ctValues.size(); ++s) {
        const TargetInfo& t = r.targets[s];
        curves.append(QJsonObject{{"index", s},
                                  {"target", t.Name},
                                  {"Start", t.Start},
                                  {"End", t.End},
                                  {"Threshold", t.Threshold},
                                  {"ct", r.ctValues[s]},
                                  {"tm", r.tmValues[s]},
                                  {"positive", bool(r.positives[s])},
                                  {"relativeLength", r.relativeLines[s].size()},
                                  {"meltPeakLength", r.newMeltLines[s].size()}});
    }
    out << QJsonDocument(QJsonObject{{"name", data.inData.method.Name}, {"curves", curves}}).toJson();
}
