#pragma once

#include <QHash>
#include <QString>

#include <xlsxwriter.h>

// One worksheet being written, addressed from row 1 and column 1. Text always goes in as text,
// so a sample named "=1+1" stays a name. Any call the library refuses marks the sheet failed.
class XlsxSheet
{
public:
    XlsxSheet(lxw_workbook* workbook, const char* name, bool centred);

    void text(int row, int column, const QString& value, lxw_color_t color = LXW_COLOR_BLACK);
    void number(int row, int column, double value);
    // Merges column over rows first..last (a single row is not merged) and writes value on top.
    void mergedText(int first, int column, int last, const QString& value);
    void activate();
    bool ok() const { return mOk; }

private:
    lxw_format* format(lxw_color_t color);
    bool inRange(int row, int column);
    void check(lxw_error result);

    lxw_workbook* mWorkbook;
    lxw_worksheet* mSheet;
    bool mCentred;
    bool mOk;
    QHash<lxw_color_t, lxw_format*> mFormats;
};
