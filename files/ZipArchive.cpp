#include "files/ZipArchive.h"

#include <QFile>
#include <minizip/unzip.h>

ZipArchive::ZipArchive(const QString& path)
{
    mZip = unzOpen64(QFile::encodeName(path).constData());
}

ZipArchive::~ZipArchive()
{
    if (mZip)
        unzClose(mZip);
}

QByteArray ZipArchive::read(const QString& name, qint64 maxBytes, bool* tooLarge)
{
    if (tooLarge)
        *tooLarge = false;
    if (!mZip || unzLocateFile(mZip, name.toUtf8().constData(), 1) != UNZ_OK)
        return QByteArray();
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(mZip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return QByteArray();
    if (info.uncompressed_size > quint64(maxBytes)) {
        if (tooLarge)
            *tooLarge = true;
        return QByteArray();
    }
    if (unzOpenCurrentFile(mZip) != UNZ_OK)
        return QByteArray();
    // The header's size may lie: the bound holds for what actually inflates.
    QByteArray bytes;
    char chunk[65536];
    int got = 0;
    while ((got = unzReadCurrentFile(mZip, chunk, sizeof chunk)) > 0) {
        if (bytes.size() + qint64(got) > maxBytes) {
            if (tooLarge)
                *tooLarge = true;
            unzCloseCurrentFile(mZip);
            return QByteArray();
        }
        bytes.append(chunk, got);
    }
    // A failed CRC check or inflate error is reported at the end or as a negative count.
    if (unzCloseCurrentFile(mZip) != UNZ_OK || got < 0)
        return QByteArray();
    return bytes;
}
