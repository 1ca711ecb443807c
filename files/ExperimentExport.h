#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class OutData;

// The ways an experiment leaves the program, chosen by the suffix of the file written: the Excel
// report (.xlsx), RDML (.rdml) and the CSV table (.csv, amplification or melt readings).
namespace ExperimentExport {

enum class Format { Excel, Rdml, Csv };

// False when the suffix names none of them.
bool formatOf(const QString& path, Format& format);
QString suffix(Format format);
// runId names the RDML run: the experiment file's own name. records: what the record store has
// to say of it (signatures, lock), on the Excel report's info sheet and after the CSV table.
// False when nothing sound was written.
bool write(const OutData& data, Format format, const QString& path, const QString& runId, bool melt = false,
           const QVector<QStringList>& records = {});

}
