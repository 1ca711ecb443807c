#pragma once

#include <QByteArray>
#include <QString>

class OutData;

// One plain table for scripts and spreadsheets, UTF-8 with a header: a row per used hole and
// channel (sample, target, Ct, call, Tm and flags), then its raw amplification readings, a column
// per cycle; or, with melt, its raw melt readings, a column per temperature.
namespace CsvExport {

QByteArray table(const OutData& data, bool melt);
bool save(const OutData& data, bool melt, const QString& path);

}
