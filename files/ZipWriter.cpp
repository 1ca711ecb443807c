#include "files/ZipWriter.h"

#include <QFile>

#include <minizip/zip.h>

#include <cstdio>

namespace ZipWriter {

bool write(const QString& path, const Parts& parts)
{
    const QString partial = path + QStringLiteral(".part");
    zipFile zip = zipOpen64(QFile::encodeName(partial).constData(), APPEND_STATUS_CREATE);
    bool ok = zip != nullptr;
    for (int i = 0; ok && i < parts.size(); ++i) {
        const QByteArray& bytes = parts[i].second;
        ok = zipOpenNewFileInZip64(zip, parts[i].first.toUtf8().constData(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                                   Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1) == ZIP_OK
            && zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size())) == ZIP_OK
            && zipCloseFileInZip(zip) == ZIP_OK;
    }
    ok = zip != nullptr && zipClose(zip, nullptr) == ZIP_OK && ok;
    // std::rename replaces an existing file in one step.
    if (!ok || std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(partial);
        return false;
    }
    return true;
}

}
