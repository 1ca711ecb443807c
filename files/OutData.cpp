#include "files/OutData.h"

#include "method/SafeStream.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

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
        OutData read;
        s >> read;
        if (!read.withinLimits() || !read.readingsFinite())
            return -1;
        *this = read;
        return 0;
    });
}

bool OutData::withinLimits() const
{
    auto shorterThan = [](const QVector<Curve>& curves, int count, int length) {
        return curves.size() <= count
            && std::all_of(curves.cbegin(), curves.cend(), [length](const Curve& c) { return c.size() <= length; });
    };
    return inData.method.countsInRange() && inData.sampleNames.size() <= RecordLimits::MaxSamples
        && inData.sampleRemarks.size() <= RecordLimits::MaxSamples
        && shorterThan(pdLines, RecordLimits::MaxCurves, RecordLimits::MaxReadings)
        && shorterThan(tempLines, RecordLimits::MaxChannels, RecordLimits::MaxTemperatureSamples);
}

bool OutData::readingsFinite() const
{
    auto finite = [](const QVector<Curve>& curves) {
        return std::all_of(curves.cbegin(), curves.cend(), [](const Curve& c) {
            return std::all_of(c.cbegin(), c.cend(), [](const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); });
        });
    };
    return finite(pdLines) && finite(tempLines);
}

int OutData::openAsVersion(QString path)
{
    return readFile(path, [this](QDataStream& s) {
        SafeStream::read(s, version);
        return version;
    });
}
