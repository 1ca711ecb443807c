// The workbook reader behind "重新定义excel": every sheet, and the curves it takes from one.
// An input is either a whole archive, or (so that mutations reach the XML past the archive's
// checksums) the four parts of a workbook separated by the byte 0x1e, packed here.
#include "FuzzInput.h"
#include "files/ExcelControl.h"
#include "files/XlsxReader.h"

#include <QList>
#include <minizip/zip.h>

namespace {
QString packed(const QByteArray& input)
{
    static const char* names[] = {"xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/sharedStrings.xml", "xl/worksheets/sheet1.xml"};
    const QList<QByteArray> parts = input.split('\x1e');
    const QString path = FuzzInput::file(nullptr, 0, ".packed.xlsx");
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    for (int i = 0; zip && i < 4 && i < parts.size(); ++i)
        if (zipOpenNewFileInZip64(zip, names[i], nullptr, nullptr, 0, nullptr, 0, nullptr, 0, 0, 0) == ZIP_OK) {
            zipWriteInFileInZip(zip, parts[i].constData(), unsigned(parts[i].size()));
            zipCloseFileInZip(zip);
        }
    if (zip)
        zipClose(zip, nullptr);
    return path;
}

void readAll(const QString& path)
{
    XlsxReader reader;
    if (reader.open(path))
        for (const QString& sheet : reader.sheetNames())
            if (reader.readSheet(sheet))
                reader.number(1, 1);
    ExcelControl().getFakeData(path, "origin", 26, 2);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), int(size));
    readAll(input.startsWith("PK") ? FuzzInput::file(data, size, ".xlsx") : packed(input));
    return 0;
}
