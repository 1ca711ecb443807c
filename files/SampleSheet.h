#pragma once

#include "method/RunControls.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

struct SMethod;

// The samples of a test as a lab prepares them in a spreadsheet: a row per hole, by the running
// number the hole table shows ("孔位"), with the sample's name, type, remark and a standard's
// quantity and unit. The method's layout decides which holes are one sample; replicates must
// agree. A sheet is taken whole or not at all: the first row that does not fit refuses it, named
// by the row number the spreadsheet shows. Samples the sheet does not mention are unnamed unknowns.
class SampleSheet
{
public:
    // Reads the file (see SheetTable) and fits it to the method; false with the reason.
    bool read(const QString& path, const SMethod& method, QString& error);
    // The same for rows already read, the header first.
    bool take(const QVector<QStringList>& rows, const SMethod& method, QString& error);

    // One per sample of the method.
    QVector<QString> names() const { return mNames; }
    QVector<QString> remarks() const { return mRemarks; }
    // Empty when every sample is an unknown.
    QVector<SampleType> types() const { return mTypes; }

    // A sheet to fill in for the method: the header and one row per hole of its layout in running
    // order, the rest empty; UTF-8 with a byte-order mark, so that a spreadsheet reads the Chinese.
    static QByteArray templateFor(const SMethod& method);

private:
    QVector<QString> mNames;
    QVector<QString> mRemarks;
    QVector<SampleType> mTypes;
};
