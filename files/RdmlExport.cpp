#include "files/RdmlExport.h"

#include "analysis/ResultRows.h"
#include "analysis/ResultText.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "files/RdmlFormat.h"
#include "files/ZipWriter.h"
#include "method/RecordLimits.h"
#include "method/MeltRange.h"
#include "method/RecordEdits.h"

#include <QXmlStreamWriter>
#include <cmath>
#include <utility>
#include <vector>

namespace RdmlExport {

namespace {

using RdmlFormat::number;

QString dateTime(const QDateTime& t)
{
    return t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QString dyeOf(const SMethod& m, int channel)
{
    const QString name = m.ChannelNames.value(channel).trimmed();
    return name.isEmpty() ? QStringLiteral("Channel %1").arg(channel + 1) : name;
}

// Ids are what other tools show: the names as typed, made unique and never empty.
class Ids
{
public:
    QString sample(int index, const QString& name)
    {
        if (!mSamples.contains(index)) {
            QString id = name.trimmed().isEmpty() ? QStringLiteral("样本%1").arg(index + 1) : name.trimmed();
            while (mSamples.values().contains(id))
                id += QStringLiteral("'");
            mSamples.insert(index, id);
        }
        return mSamples.value(index);
    }
    // One target per name and dye.
    QString target(const QString& name, const QString& dye)
    {
        const QString key = name + '\n' + dye;
        if (!mTargets.contains(key)) {
            QString id = name.trimmed().isEmpty() ? dye : name.trimmed();
            for (auto it = mTargets.cbegin(); it != mTargets.cend(); ++it)
                if (it.value() == id)
                    id += QStringLiteral(" (%1)").arg(dye);
            mTargets.insert(key, id);
            mTargetOrder << key;
        }
        return mTargets.value(key);
    }
    QStringList targetKeys() const { return mTargetOrder; }
    QString targetId(const QString& key) const { return mTargets.value(key); }
    QMap<int, QString> samples() const { return mSamples; }

private:
    QMap<int, QString> mSamples;
    QMap<QString, QString> mTargets;
    QStringList mTargetOrder;
};

void temperatureStep(QXmlStreamWriter& x, int& nr, const Node& node, const QString& measure)
{
    x.writeStartElement("step");
    x.writeTextElement("nr", QString::number(nr++));
    x.writeStartElement("temperature");
    x.writeTextElement("temperature", number(node.Temp));
    x.writeTextElement("duration", QString::number(qMax(1, node.Time)));
    if (!measure.isEmpty())
        x.writeTextElement("measure", measure);
    x.writeEndElement();
    x.writeEndElement();
}

void thermalProgramme(QXmlStreamWriter& x, const SMethod& m)
{
    x.writeStartElement("thermalCyclingConditions");
    x.writeAttribute("id", "programme");
    int nr = 1;
    if (m.Flow.steps.isEmpty())
        temperatureStep(x, nr, Node{1, 25.0, false}, QString());
    for (const Step& step : m.Flow.steps) {
        const int first = nr;
        const bool melt = MeltRange(step).isValid();
        for (int k = 0; k < step.NodeList.size(); ++k) {
            const Node& node = step.NodeList[k];
            const bool meltEnd = melt && k == step.NodeList.size() - 1;
            temperatureStep(x, nr, node, meltEnd ? QStringLiteral("meltcurve") : node.Test ? QStringLiteral("real time") : QString());
        }
        if (step.StepType == Step::STEP_CYCLE && step.CycleCount > 1 && nr > first) {
            x.writeStartElement("step");
            x.writeTextElement("nr", QString::number(nr++));
            x.writeStartElement("loop");
            x.writeTextElement("goto", QString::number(first));
            // The loop runs its steps `repeat` times in all: as many as the cycles.
            x.writeTextElement("repeat", QString::number(step.CycleCount));
            x.writeEndElement();
            x.writeEndElement();
        }
    }
    x.writeEndElement();
}

void annotation(QXmlStreamWriter& x, const QString& property, const QString& value)
{
    x.writeStartElement("annotation");
    x.writeTextElement("property", property);
    x.writeTextElement("value", value);
    x.writeEndElement();
}

// The sample's own type, then its type for each target that has one of its own, on every dye of
// that target; the quantities after them, as RDML orders a sample's parts.
void sampleTypes(QXmlStreamWriter& x, const RunSetup& setup, int sample, const Ids& ids)
{
    std::vector<std::pair<QString, SampleType>> types{{QString(), setup.sampleTypes.value(sample)}};
    const QMap<QString, SampleType> own = setup.targetTypes.value(sample);
    for (const QString& key : ids.targetKeys())
        if (own.contains(key.section('\n', 0, 0)))
            types.emplace_back(ids.targetId(key), own.value(key.section('\n', 0, 0)));
    for (const auto& [target, type] : types) {
        x.writeStartElement("type");
        if (!target.isEmpty())
            x.writeAttribute("targetId", target);
        x.writeCharacters(type.type);
        x.writeEndElement();
    }
    for (const auto& [target, type] : types) {
        if (type.type != QLatin1String("std") || type.quantity <= 0)
            continue;
        x.writeStartElement("quantity");
        if (!target.isEmpty())
            x.writeAttribute("targetId", target);
        x.writeTextElement("value", number(type.quantity));
        x.writeTextElement("unit", type.unit);
        x.writeEndElement();
    }
}

void curveData(QXmlStreamWriter& x, const OutData& d, const TempData& r, int s, const QString& target)
{
    x.writeStartElement("data");
    x.writeEmptyElement("tar");
    x.writeAttribute("id", target);
    if (r.ctValues[s] != 0)
        x.writeTextElement("cq", number(r.ctValues[s]));
    if (r.tmValues[s] != 0)
        x.writeTextElement("meltTemp", number(r.tmValues[s]));
    x.writeTextElement("note", RdmlFormat::settingsNote(d.targetOf(s)));
    const Curve cycles = d.getCycleLine(s);
    for (int i = 0; i < cycles.size(); ++i) {
        if (!std::isfinite(cycles[i].y()))
            continue;
        x.writeStartElement("adp");
        // At the cycle it was read: a curve that misses some keeps its readings where they were.
        const double cycle = cycles[i].x();
        const bool atCycle = cycle >= 1 && cycle <= RecordLimits::MaxReadings;
        x.writeTextElement("cyc", QString::number(atCycle ? qRound(cycle) : i + 1));
        x.writeTextElement("fluor", number(cycles[i].y()));
        x.writeEndElement();
    }
    for (const QPointF& p : d.getOriginMeltLine(s)) {
        if (!std::isfinite(p.y()))
            continue;
        x.writeStartElement("mdp");
        x.writeTextElement("tmp", number(p.x()));
        x.writeTextElement("fluor", number(p.y()));
        x.writeEndElement();
    }
    x.writeEndElement();
}

}

QByteArray xml(const OutData& d, const QString& runId)
{
    const SMethod& m = d.inData.method;
    const TempData r(d);
    const QVector<ResultRow> rows = resultRows(d);
    Ids ids;
    for (const ResultRow& row : rows) {
        ids.sample(row.sample, row.sampleName);
        ids.target(r.targets.value(row.curveIndex).Name, dyeOf(m, row.channel));
    }

    QByteArray bytes;
    QXmlStreamWriter x(&bytes);
    x.setAutoFormatting(true);
    x.setAutoFormattingIndent(1);
    x.writeStartDocument();
    x.writeDefaultNamespace(RdmlFormat::Namespace);
    x.writeStartElement(RdmlFormat::Namespace, "rdml");
    x.writeAttribute("version", "1.3");
    x.writeTextElement("dateMade", dateTime(QDateTime::currentDateTime()));
    for (int c = 0; c < m.ChannelColor; ++c) {
        x.writeStartElement("dye");
        x.writeAttribute("id", dyeOf(m, c));
        x.writeEndElement();
    }
    // A reaction's id is its position on the chip; the sample names its holes as every table does.
    QMap<int, QVector<int>> numbers, positions;
    for (const ResultRow& row : rows)
        if (row.channel == 0) {
            numbers[row.sample] << row.number;
            positions[row.sample] << row.holeNumber;
        }
    const QMap<int, QString> samples = ids.samples();
    for (auto it = samples.cbegin(); it != samples.cend(); ++it) {
        x.writeStartElement("sample");
        x.writeAttribute("id", it.value());
        const QString remark = d.inData.sampleRemarks.value(it.key());
        if (!remark.isEmpty())
            x.writeTextElement("description", remark);
        annotation(x, QStringLiteral("孔位"), SampleResults::holeList(numbers.value(it.key())));
        annotation(x, QStringLiteral("位置"), SampleResults::holeList(positions.value(it.key())));
        sampleTypes(x, d.inData.setup, it.key(), ids);
        x.writeEndElement();
    }
    for (const QString& key : ids.targetKeys()) {
        const QString name = key.section('\n', 0, 0), dye = key.section('\n', 1);
        x.writeStartElement("target");
        x.writeAttribute("id", ids.target(name, dye));
        x.writeTextElement("type", name == SampleResults::internalControl() ? "ref" : "toi");
        // A typed efficiency, else the one the file came with, as RDML writes it: the factor.
        const RunSetup& setup = d.inData.setup;
        if (setup.efficiencies.contains(name) || setup.fileEfficiencies.contains(name))
            x.writeTextElement("amplificationEfficiency", number(1 + setup.efficiencies.value(name, setup.fileEfficiencies.value(name))));
        x.writeEmptyElement("dyeId");
        x.writeAttribute("id", dye);
        x.writeEndElement();
    }
    thermalProgramme(x, m);

    x.writeStartElement("experiment");
    x.writeAttribute("id", m.Name.trimmed().isEmpty() ? QStringLiteral("experiment") : m.Name.trimmed());
    x.writeStartElement("run");
    // A run this program did not play (module 0: imported) keeps its own id and instrument.
    const bool imported = d.inData.pcrNumber == 0;
    const QString id = imported && !d.inData.serialNumber.trimmed().isEmpty() ? d.inData.serialNumber.trimmed() : runId.trimmed();
    x.writeAttribute("id", id.isEmpty() ? QStringLiteral("run") : id);
    QStringList description = RecordEdits::of(d.inData.remark);
    if (!d.runComplete)
        description.prepend(ResultText::incompleteRun());
    if (!description.isEmpty())
        x.writeTextElement("description", description.join(QStringLiteral("；")));
    const QString instrument = imported ? RdmlFormat::instrumentOf(d.inData.remark) : QStringLiteral("PCR %1").arg(d.inData.pcrNumber);
    if (!instrument.isEmpty())
        x.writeTextElement("instrument", instrument);
    x.writeStartElement("dataCollectionSoftware");
    x.writeTextElement("name", "tamarin");
    x.writeTextElement("version", TAMARIN_VERSION);
    x.writeEndElement();
    x.writeTextElement("backgroundDeterminationMethod", "line fitted through the baseline window");
    x.writeTextElement("cqDetectionMethod", "automated threshold and baseline settings");
    x.writeEmptyElement("thermalCyclingConditions");
    x.writeAttribute("id", "programme");
    x.writeStartElement("pcrFormat");
    x.writeTextElement("rows", "1");
    x.writeTextElement("columns", QString::number(qMax(1, m.Hole)));
    x.writeTextElement("rowLabel", "ABC");
    x.writeTextElement("columnLabel", "123");
    x.writeEndElement();
    if (d.inData.dateTime.isValid())
        x.writeTextElement("runDate", dateTime(d.inData.dateTime));
    // One reaction per used hole, in layout order; a hole listed twice is written once.
    QVector<int> holes;
    QMap<int, QVector<ResultRow>> curves;
    for (const ResultRow& row : rows) {
        if (!curves.contains(row.holeNumber))
            holes << row.holeNumber;
        if (curves[row.holeNumber].size() < m.ChannelColor && (curves[row.holeNumber].isEmpty() || curves[row.holeNumber][0].sample == row.sample))
            curves[row.holeNumber] << row;
    }
    for (int hole : holes) {
        const QVector<ResultRow>& hr = curves[hole];
        x.writeStartElement("react");
        x.writeAttribute("id", QString::number(hole));
        x.writeEmptyElement("sample");
        x.writeAttribute("id", ids.sample(hr[0].sample, hr[0].sampleName));
        for (const ResultRow& row : hr)
            if (row.curveIndex < r.targets.size())
                curveData(x, d, r, row.curveIndex, ids.target(r.targets[row.curveIndex].Name, dyeOf(m, row.channel)));
        x.writeEndElement();
    }
    x.writeEndElement(); // run
    x.writeEndElement(); // experiment
    x.writeEndElement(); // rdml
    x.writeEndDocument();
    return bytes;
}

bool save(const OutData& data, const QString& runId, const QString& path)
{
    if (!data.withinLimits())
        return false;
    return ZipWriter::write(path, {{QStringLiteral("rdml_data.xml"), xml(data, runId)}});
}

}
