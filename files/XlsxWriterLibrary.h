#pragma once

#include <xlsxwriter.h>

// The workbook writer library, loaded on first use with its own symbol scope.
//
// It carries no zip code of its own but uses the system minizip, while the workbook reader's zip
// library exports a modified minizip under the very same names. Linked normally, the writer's
// calls land in the reader's copy and crash. Loaded with RTLD_DEEPBIND, the writer resolves its
// zip calls in its own dependencies first, and the reader keeps its own.
class XlsxWriterLibrary
{
public:
    static const XlsxWriterLibrary& instance();
    bool isLoaded() const { return mLoaded; }

    decltype(&::workbook_new) workbook_new = nullptr;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet = nullptr;
    decltype(&::workbook_add_format) workbook_add_format = nullptr;
    decltype(&::workbook_close) workbook_close = nullptr;
    decltype(&::format_set_align) format_set_align = nullptr;
    decltype(&::format_set_font_color) format_set_font_color = nullptr;
    decltype(&::worksheet_write_string) worksheet_write_string = nullptr;
    decltype(&::worksheet_write_number) worksheet_write_number = nullptr;
    decltype(&::worksheet_merge_range) worksheet_merge_range = nullptr;
    decltype(&::worksheet_activate) worksheet_activate = nullptr;

private:
    XlsxWriterLibrary();
    bool mLoaded = false;
};
