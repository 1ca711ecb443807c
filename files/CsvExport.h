#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

class OutData;

// One plain table for scripts and spreadsheets, UTF-8 with a header: a row per used hole and
// channel (sample, target, Ct, call, Tm and flags), then its raw amplification readings, a column
// per cycle; or, with melt, its raw melt readings, a column per temperature.
namespace CsvExport {

QByteArray table(const OutData& data, bool melt);
// records: rows the record store has to say of the experiment (its signatures, its lock), after
// the table and a blank line.
bool save(const OutData& data, bool melt, const QString& path, const QVector<QStringList>& records = {});

}
