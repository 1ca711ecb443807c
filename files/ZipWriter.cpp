#include "files/ZipWriter.h"

#include <QDateTime>
#include <QFile>

#include <minizip/zip.h>

#include <cstdio>

namespace ZipWriter {

bool write(const QString& path, const Parts& parts)
{
    const QString partial = path + QStringLiteral(".part");
    zipFile zip = zipOpen64(QFile::encodeName(partial).constData(), APPEND_STATUS_CREATE);
    bool ok = zip != nullptr;
    // Each entry dated now: an archive tool shows the date, and a zero date is no valid one.
    const QDateTime now = QDateTime::currentDateTime();
    zip_fileinfo info{};
    info.tmz_date.tm_year = uInt(now.date().year());
    info.tmz_date.tm_mon = uInt(now.date().month() - 1);
    info.tmz_date.tm_mday = uInt(now.date().day());
    info.tmz_date.tm_hour = uInt(now.time().hour());
    info.tmz_date.tm_min = uInt(now.time().minute());
    info.tmz_date.tm_sec = uInt(now.time().second());
    for (int i = 0; ok && i < parts.size(); ++i) {
        const QByteArray& bytes = parts[i].second;
        ok = zipOpenNewFileInZip64(zip, parts[i].first.toUtf8().constData(), &info, nullptr, 0, nullptr, 0, nullptr,
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
