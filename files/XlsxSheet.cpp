#include "files/XlsxSheet.h"

#include <cmath>


XlsxSheet::XlsxSheet(lxw_workbook* workbook, const char* name, bool centred)
    : mWorkbook(workbook), mSheet(workbook_add_worksheet(workbook, name)), mCentred(centred), mOk(mSheet != nullptr)
{
}

lxw_format* XlsxSheet::format(lxw_color_t color)
{
    if (!mCentred && color == LXW_COLOR_BLACK)
        return nullptr; // the default cell format
    auto it = mFormats.find(color);
    if (it != mFormats.end())
        return it.value();
    lxw_format* f = workbook_add_format(mWorkbook);
    if (mCentred) {
        format_set_align(f, LXW_ALIGN_CENTER);
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
    }
    if (color != LXW_COLOR_BLACK)
        format_set_font_color(f, color);
    mFormats.insert(color, f);
    return f;
}

bool XlsxSheet::inRange(int row, int column)
{
    // The library's cell types are narrower than int; out-of-range cells must fail, not wrap.
    const bool fits = mSheet && row >= 1 && row <= int(LXW_ROW_MAX) && column >= 1 && column <= int(LXW_COL_MAX);
    mOk = mOk && fits;
    return fits;
}

void XlsxSheet::check(lxw_error result)
{
    mOk = mOk && result == LXW_NO_ERROR;
}

void XlsxSheet::text(int row, int column, const QString& value, lxw_color_t color)
{
    if (!inRange(row, column))
        return;
    check(worksheet_write_string(mSheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value.toUtf8().constData(), format(color)));
}

void XlsxSheet::number(int row, int column, double value)
{
    // A value that is not known (NaN) leaves its cell empty rather than an error cell.
    if (!inRange(row, column) || !std::isfinite(value))
        return;
    check(worksheet_write_number(mSheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value, format(LXW_COLOR_BLACK)));
}

void XlsxSheet::mergedText(int first, int column, int last, const QString& value)
{
    if (!inRange(first, column) || !inRange(last, column))
        return;
    if (last > first)
        check(worksheet_merge_range(mSheet, lxw_row_t(first - 1), lxw_col_t(column - 1), lxw_row_t(last - 1),
                                    lxw_col_t(column - 1), "", format(LXW_COLOR_BLACK)));
    if (!value.isEmpty())
        text(first, column, value);
}

void XlsxSheet::activate()
{
    if (mSheet)
        worksheet_activate(mSheet);
}
