#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class ZipArchive;

// Reads cell values from an xlsx workbook: shared strings, inline strings and numbers, by their
// references ("AQ12") or, where a writer leaves those out, by position. Formulas are not
// evaluated; their cached values are read like any other. A workbook whose parts inflate beyond
// 64 MiB, or whose sheet holds more than about a million cells, is refused.
class XlsxReader
{
public:
    bool open(const QString& path);
    QStringList sheetNames() const { return mSheetNames; }
    // Loads one sheet's cells; false when the sheet does not exist or cannot be read.
    bool readSheet(const QString& name);

    // Rows and columns from 1. A missing cell is empty text; a non-numeric one reads as 0.
    QString text(int row, int column) const;
    double number(int row, int column) const;
    bool isNumber(int row, int column) const;
    // The last row and column that hold a cell of the sheet read; 0 for an empty sheet.
    int lastRow() const { return mLastRow; }
    int lastColumn() const { return mLastColumn; }

    // "AQ12" -> row 12, column 43; false when the reference is not a cell reference.
    static bool parseReference(const QString& reference, int& row, int& column);

private:
    struct Cell
    {
        QString text;
        bool numeric = false;
    };
    static quint64 key(int row, int column) { return quint64(quint32(row)) << 32 | quint32(column); }
    bool readSharedStrings(ZipArchive& zip);

    QString mPath;
    QStringList mSheetNames;
    QHash<QString, QString> mSheetFiles; // sheet name -> part inside the archive
    QStringList mSharedStrings;
    QHash<quint64, Cell> mCells;
    int mLastRow = 0;
    int mLastColumn = 0;
};
