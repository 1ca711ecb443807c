#include "files/XlsxWriterLibrary.h"

#include <QDebug>

#include <dlfcn.h>

namespace {
template <typename F>
bool resolve(void* handle, const char* name, F& function)
{
    function = reinterpret_cast<F>(dlsym(handle, name));
    return function != nullptr;
}
}

const XlsxWriterLibrary& XlsxWriterLibrary::instance()
{
    static const XlsxWriterLibrary library;
    return library;
}

XlsxWriterLibrary::XlsxWriterLibrary()
{
    void* handle = dlopen(TAMARIN_XLSXWRITER_SONAME, RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND);
    if (!handle) {
        qDebug() << "xlsx writer:" << dlerror();
        return;
    }
    mLoaded = resolve(handle, "workbook_new", workbook_new)
        && resolve(handle, "workbook_add_worksheet", workbook_add_worksheet)
        && resolve(handle, "workbook_add_format", workbook_add_format)
        && resolve(handle, "workbook_close", workbook_close)
        && resolve(handle, "format_set_align", format_set_align)
        && resolve(handle, "format_set_font_color", format_set_font_color)
        && resolve(handle, "worksheet_write_string", worksheet_write_string)
        && resolve(handle, "worksheet_write_number", worksheet_write_number)
        && resolve(handle, "worksheet_merge_range", worksheet_merge_range)
        && resolve(handle, "worksheet_activate", worksheet_activate);
    if (!mLoaded)
        qDebug() << "xlsx writer: missing functions in" << TAMARIN_XLSXWRITER_SONAME;
}
