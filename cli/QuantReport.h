#pragma once

#include <QStringList>
#include <QTextStream>

class OutData;

// Run validity, standard curves, quantities and fold changes of an experiment, as text tables or
// as the JSON scripts rely on. calibrator and references override the record's own choice.
void printQuantTables(QTextStream& out, const OutData& data, const QString& calibrator, const QStringList& references);
void printQuantJson(QTextStream& out, const OutData& data, const QString& calibrator, const QStringList& references);
