#pragma once

#include "files/OutData.h"

#include <QString>

// The Excel report of an experiment: sheets "info", "out" and "origin"; and the way back from
// an "origin" sheet to raw curves.
class ExcelControl
{
public:
    // Recomputes the results and writes the workbook. False when anything could not be written
    // (the path, the disk, a value the format cannot hold).
    bool saveAsExcel(const OutData& data, const QString& path) const;
    // The raw curves of a sheet in the "origin" layout, fixed at 26 holes, 2 channels and 40
    // readings (52 curves, channel 0 first); missing or non-numeric cells read as 0. Empty when
    // the workbook or the sheet cannot be read.
    QVector<QVector<QPointF>> getFakeData(QString path, QString sheet) const;
    QString saveAsString(const OutData& data, const QString& path) const;
};
