#include "files/CsvExport.h"

#include "analysis/Quantification.h"
#include "analysis/ResultRows.h"
#include "analysis/ResultText.h"
#include "analysis/TempData.h"
#include "files/RdmlFormat.h"
#include "method/RecordEdits.h"

#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#include <cmath>

namespace CsvExport {

namespace {

// Quoted when it holds a separator, a quote or a line break. A name a spreadsheet would take for a
// formula gets a leading apostrophe, so that opening the table runs nothing.
QString field(QString text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && formulaStarts.contains(text[0]))
        text.prepend('\'');
    if (text.contains(',') || text.contains('"') || text.contains('\n') || text.contains('\r'))
        text = '"' + text.replace('"', QStringLiteral("\"\"")) + '"';
    return text;
}

QString optional(double value)
{
    return value == 0 ? QString() : QString::number(value, 'f', 2);
}

}

QByteArray table(const OutData& d, bool melt)
{
    const TempData r(d);
    const SMethod& m = d.inData.method;
    const QVector<Curve>& readings = melt ? r.originMeltLines : r.cycleLines;
    int columns = 0;
    Curve longest;
    // A cycle's reading goes under its own cycle's column: a reaction that misses cycles (an
    // imported run) leaves them empty instead of moving later readings under earlier cycles.
    QMap<int, int> cycleColumns;
    for (const ResultRow& row : resultRows(d)) {
        if (readings.value(row.curveIndex).size() > columns) {
            longest = readings.value(row.curveIndex);
            columns = longest.size();
        }
        for (const QPointF& p : readings.value(row.curveIndex))
            cycleColumns.insert(int(std::lround(p.x())), 0);
    }
    int next = 0;
    for (int& column : cycleColumns)
        column = next++;
    // "hole" is the running number every table shows, "position" the place on the chip; "edits"
    // names every change of the record's readings or method after the run.
    QStringList header = {"sample", "name", "type", "hole", "position", "channel", "target", "ct", "call", "tm",
                          "quantity", "unit", "flags", "edits"};
    const QuantResult quant = Quantification::of(d, r);
    // Samples whose calls the run's failed controls make invalid carry it in every row.
    QSet<int> invalidated;
    // A quantity's own flags (extrapolated, from only some holes) go with each of its holes.
    QHash<QString, QStringList> quantityFlags;
    for (const QuantSample& sample : quant.samples) {
        if (sample.flags.contains(QLatin1String("run-invalid")))
            invalidated.insert(sample.sample);
        const QStringList own = sample.flags.filter(QRegularExpression("^(outside-standards|few-replicates|curve-failed)$"));
        if (!own.isEmpty())
            quantityFlags.insert(QString("%1/%2/%3").arg(sample.sample).arg(sample.channel).arg(sample.target), own);
    }
    const QString edits = field(RecordEdits::of(d.inData.remark).join(QStringLiteral("；")));
    if (melt)
        for (int i = 0; i < columns; ++i)
            header << RdmlFormat::number(longest[i].x());
    else
        for (int cycle : cycleColumns.keys())
            header << QString::number(cycle);
    QString out = header.join(',') + '\n';
    for (const ResultRow& row : resultRows(d)) {
        const int s = row.curveIndex;
        if (s >= r.ctValues.size())
            continue;
        QString unit;
        const double q = Quantification::holeQuantity(d, quant, row.sample, r.targets[s].Name, row.channel,
                                                      r.positives[s] ? r.ctValues[s] : 0, unit);
        QStringList cells = {QString::number(row.sample + 1),
                             field(row.sampleName),
                             d.inData.setup.typeOf(row.sample, r.targets[s].Name).type,
                             QString::number(row.number),
                             QString::number(row.holeNumber),
                             field(m.ChannelNames.value(row.channel)),
                             field(r.targets[s].Name),
                             optional(r.ctValues[s]),
                             ResultText::call(r.positives[s], d.runComplete),
                             optional(r.tmValues[s]),
                             std::isfinite(q) ? RdmlFormat::number(q) : QString(),
                             unit,
                             (r.flags[s] + (invalidated.contains(row.sample) ? QStringList{"run-invalid"} : QStringList())
                              + quantityFlags.value(QString("%1/%2/%3").arg(row.sample).arg(row.channel).arg(r.targets[s].Name)))
                                 .join(' '),
                             edits};
        if (melt) {
            for (const QPointF& p : readings[s])
                cells << RdmlFormat::number(p.y());
        } else {
            QVector<QString> values(cycleColumns.size());
            for (const QPointF& p : readings[s])
                values[cycleColumns.value(int(std::lround(p.x())))] = RdmlFormat::number(p.y());
            cells << values.toList();
        }
        out += cells.join(',') + '\n';
    }
    return out.toUtf8();
}

bool save(const OutData& data, bool melt, const QString& path, const QVector<QStringList>& records)
{
    if (!data.withinLimits())
        return false;
    QByteArray bytes = table(data, melt);
    if (!records.isEmpty())
        bytes += '\n';
    for (const QStringList& row : records) {
        QStringList fields;
        for (const QString& text : row)
            fields << field(text);
        bytes += fields.join(',').toUtf8() + '\n';
    }
    QSaveFile file(path);
    // A byte-order mark, so that a spreadsheet takes the Chinese for UTF-8 whatever the system's code page.
    return file.open(QIODevice::WriteOnly) && file.write("\xEF\xBB\xBF" + bytes) >= 0 && file.flush() && file.commit();
}

}
