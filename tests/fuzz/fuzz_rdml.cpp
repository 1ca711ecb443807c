// The RDML reader behind "导入" and tamarin-cli import, and the record it builds from each run. An
// input is plain XML, or an archive when it starts with "PK"; a plain input is also zipped as an
// archive's rdml_data.xml, so that mutations reach the XML inside archives.
#include "FuzzInput.h"
#include "files/RdmlImport.h"
#include "files/ZipWriter.h"

namespace {
void importAll(const QString& path)
{
    RdmlReader file;
    if (!file.read(path))
        return;
    for (int run = 0; run < file.runs().size(); ++run) {
        OutData d;
        QString why;
        RdmlImport::toOutData(file, run, d, why);
    }
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = FuzzInput::file(data, size, size >= 2 && data[0] == 'P' && data[1] == 'K' ? ".rdml" : ".xml");
    importAll(path);
    if (!(size >= 2 && data[0] == 'P' && data[1] == 'K')) {
        const QString zipped = path + ".rdml";
        if (ZipWriter::write(zipped, {{"rdml_data.xml", QByteArray(reinterpret_cast<const char*>(data), int(size))}}))
            importAll(zipped);
    }
    return 0;
}
