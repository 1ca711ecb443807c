#include "files/OutData.h"

#include "method/SafeStream.h"

#include <QFile>
#include <QSaveFile>

namespace {
constexpr qint64 CurveBytes = 4;

// Opens path in the stored form and hands the stream to read; -1 when it cannot be opened.
template <typename Read>
int readFile(const QString& path, Read read)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QDataStream s(&file);
    s.setVersion(SafeStream::Version);
    return read(s);
}
}

bool OutData::operator==(const OutData& o) const
{
    return version == o.version && reserved == o.reserved && inData == o.inData && tempLines == o.tempLines
        && pdLines == o.pdLines && runComplete == o.runComplete;
}

QDataStream& operator<<(QDataStream& s, const OutData& d)
{
    return s << qint32(d.version) << d.reserved << d.inData << d.tempLines << d.pdLines << d.runComplete;
}

QDataStream& operator>>(QDataStream& s, OutData& d)
{
    SafeStream::read(s, d.version);
    SafeStream::read(s, d.reserved);
    s >> d.inData;
    SafeStream::readList(s, d.tempLines, CurveBytes);
    SafeStream::readList(s, d.pdLines, CurveBytes);
    SafeStream::read(s, d.runComplete);
    return s;
}

bool OutData::saveAsFilePath(const QString& path) const
{
    // A read-only mark must not stop a save; only write permission is ever added.
    if (QFile::exists(path))
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteUser);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream s(&file);
    s.setVersion(SafeStream::Version);
    s << *this;
    if (s.status() != QDataStream::Ok) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

int OutData::openAs(QString path)
{
    return readFile(path, [this](QDataStream& s) {
        s >> *this;
        return 0;
    });
}

int OutData::openAsVersion(QString path)
{
    return readFile(path, [this](QDataStream& s) {
        SafeStream::read(s, version);
        return version;
    });
}
