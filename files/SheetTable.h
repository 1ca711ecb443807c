#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The cells of a table a person prepared in a spreadsheet: a CSV file (UTF-8 with or without a
// byte-order mark; comma, semicolon or tab between fields, the one the first line uses most;
// fields quoted with "" for a quote) or the first sheet of an xlsx workbook. Rows as they stand
// in the file, the first one at index 0, so that index + 1 is the row number the person sees.
namespace SheetTable {

// False with the reason when the file cannot be read as either.
bool read(const QString& path, QVector<QStringList>& rows, QString& error);
// A CSV file's bytes; false when they are not UTF-8 (a sheet saved in a local code page would
// otherwise come in as garbled names).
bool parseCsv(const QByteArray& bytes, QVector<QStringList>& rows, QString& error);

}
