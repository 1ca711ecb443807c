#pragma once

#include "files/OutData.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The Excel report of an experiment: sheets "info", "out", "origin" and "samples"; and the way
// back from an "origin" sheet to raw curves.
class ExcelControl
{
public:
    // Recomputes the results and writes the workbook. False when anything could not be written
    // (the path, the disk, a value the format cannot hold).
    // records: rows the record store has to say of the experiment (its signatures, its lock),
    // written on the "info" sheet from row 8.
    bool saveAsExcel(const OutData& data, const QString& path, const QVector<QStringList>& records = {}) const;
    // The raw curves of a sheet in the layout saveAsExcel writes to "origin": a row per hole
    // numbered from 1, and per channel its target's name followed by its readings. Curve index
    // order, x the reading number. Empty unless the sheet holds exactly that for a chip of holes
    // and channels: every curve at least one reading, all of one length within the record limits.
    QVector<QVector<QPointF>> getFakeData(const QString& path, const QString& sheet, int holes, int channels) const;
    // The record's readings with those of a workbook saveAsExcel wrote for this very experiment
    // (its "info" sheet names the record's serial number and time) laid over them. A reading the
    // workbook holds as the record's rounded to two decimals keeps the record's value; readings the
    // workbook does not carry (melt readings after its last column) stay. Returns why the workbook
    // cannot be taken, or an empty text with readings set.
    QString readingsFromWorkbook(const OutData& record, const QString& path, QVector<QVector<QPointF>>& readings) const;
    QString saveAsString(const OutData& data, const QString& path) const;
};
