#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

struct SMethod;

// Changes of a finished record's measured data or method after the run. Each leaves a mark in the
// record's remark (so files of every version carry it, and the page, the report's info sheet and
// every export show it) that names the time and the file the change came from.
namespace RecordEdits {

QString readingsReplaced(const QDateTime& when, const QString& workbook);
QString methodReplaced(const QDateTime& when, const QString& file);
// The marks a remark (or an exported run's description) carries, oldest first.
QStringList of(const QString& remark);
// Why another method cannot describe a record's readings (empty when it can): the chip, the
// samples' holes, the channels and the readings the programme takes must be the record's.
QString methodMismatch(const SMethod& record, const SMethod& other);

}
