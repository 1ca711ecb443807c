#include "files/OutData.h"

#include "method/RecordLimits.h"
#include "method/SafeStream.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
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

namespace {
// After the fixed fields, a record with run controls carries them as one JSON block behind this
// mark; a reader that stops at the completion flag never sees it, and a file without it reads
// as a run of unknowns.
constexpr quint32 ControlsMark = 0x54514331; // "TQC1"
constexpr quint32 MaxControlsBytes = 4 * 1024 * 1024;
// Behind it (or alone), the record's identity in the store: its id and the trail's head.
constexpr quint32 IdentityMark = 0x54524931; // "TRI1"
constexpr quint32 MaxIdentityBytes = 4096;
constexpr int MaxUtcOffset = 14 * 3600;

QByteArray controlsBlock(const InData& in)
{
    if (in.setup.isEmpty() && in.method.controlRules.isEmpty() && in.method.acceptances.isEmpty())
        return QByteArray();
    QJsonObject o{{"setup", RunControls::setupToJson(in.setup)}, {"rules", RunControls::rulesToJson(in.method.controlRules)}};
    if (!in.method.acceptances.isEmpty())
        o.insert("acceptance", RunControls::acceptancesToJson(in.method.acceptances));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray identityBlock(const OutData& d)
{
    if (d.recordId.isEmpty())
        return QByteArray();
    QJsonObject o{{"id", d.recordId}, {"store", d.storeId}, {"trailEntry", QString::number(d.trailEntry)}, {"trailHash", d.trailHash}};
    // Only where a run gave it: a record saved again as it was keeps its bytes.
    if (d.runUtcOffset)
        o.insert("runUtcOffset", *d.runUtcOffset);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

void writeBlock(QDataStream& s, quint32 mark, const QByteArray& block)
{
    if (block.isEmpty())
        return;
    s << mark << quint32(block.size());
    s.writeRawData(block.constData(), block.size());
}

// The trailing blocks in any order; reading ends at the first one it does not know.
void readBlocks(QDataStream& s, OutData& d)
{
    while (SafeStream::ok(s) && !s.atEnd()) {
        quint32 mark = 0;
        quint32 size = 0;
        s >> mark >> size;
        const quint32 limit = mark == ControlsMark ? MaxControlsBytes : mark == IdentityMark ? MaxIdentityBytes : 0;
        if (s.status() != QDataStream::Ok || size > limit || size > quint32(s.device()->bytesAvailable()))
            return;
        const QJsonObject o = QJsonDocument::fromJson(s.device()->read(size)).object();
        if (mark == ControlsMark) {
            d.inData.setup = RunControls::setupFromJson(o.value("setup").toObject(), d.inData.method.SampleNumber, RecordLimits::MaxCurves);
            d.inData.method.controlRules = RunControls::rulesFromJson(o.value("rules").toArray());
            d.inData.method.acceptances = RunControls::acceptancesFromJson(o.value("acceptance").toArray());
        } else {
            d.recordId = o.value("id").toString().left(64);
            d.storeId = o.value("store").toString().left(64);
            d.trailEntry = o.value("trailEntry").toString().toLongLong();
            d.trailHash = o.value("trailHash").toString().left(64);
            // Zones on earth lie within 14 hours of UTC; anything else is no zone.
            const QJsonValue offset = o.value("runUtcOffset");
            if (offset.isDouble() && std::abs(offset.toDouble()) <= MaxUtcOffset && offset.toDouble() == offset.toInt())
                d.runUtcOffset = offset.toInt();
        }
    }
}
}

QDataStream& operator<<(QDataStream& s, const OutData& d)
{
    s << qint32(d.version) << d.reserved << d.inData << d.tempLines << d.pdLines << d.runComplete;
    writeBlock(s, ControlsMark, controlsBlock(d.inData));
    writeBlock(s, IdentityMark, identityBlock(d));
    return s;
}

QDataStream& operator>>(QDataStream& s, OutData& d)
{
    SafeStream::read(s, d.version);
    SafeStream::read(s, d.reserved);
    s >> d.inData;
    SafeStream::readList(s, d.tempLines, CurveBytes);
    SafeStream::readList(s, d.pdLines, CurveBytes);
    SafeStream::read(s, d.runComplete);
    readBlocks(s, d);
    return s;
}

void OutData::noteRunZone()
{
    if (!runUtcOffset && inData.dateTime.isValid())
        runUtcOffset = inData.dateTime.offsetFromUtc();
}

QDateTime OutData::runTime() const
{
    const QDateTime& at = inData.dateTime;
    if (!runUtcOffset || !at.isValid() || at.timeSpec() != Qt::LocalTime)
        return at;
    return QDateTime(at.date(), at.time(), Qt::OffsetFromUTC, *runUtcOffset);
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
    // A full disk shows only when the buffer is written out: a commit alone would put an empty
    // or cut file in the record's place.
    return file.flush() && file.commit();
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
