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

QByteArray controlsBlock(const InData& in)
{
    if (in.setup.isEmpty() && in.method.controlRules.isEmpty() && in.method.acceptances.isEmpty())
        return QByteArray();
    QJsonObject o{{"setup", RunControls::setupToJson(in.setup)}, {"rules", RunControls::rulesToJson(in.method.controlRules)}};
    if (!in.method.acceptances.isEmpty())
        o.insert("acceptance", RunControls::acceptancesToJson(in.method.acceptances));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

void readControls(QDataStream& s, InData& in)
{
    quint32 mark = 0;
    quint32 size = 0;
    if (!SafeStream::ok(s) || s.atEnd())
        return;
    s >> mark >> size;
    if (s.status() != QDataStream::Ok || mark != ControlsMark || size > MaxControlsBytes || size > quint32(s.device()->bytesAvailable()))
        return;
    const QJsonObject o = QJsonDocument::fromJson(s.device()->read(size)).object();
    in.setup = RunControls::setupFromJson(o.value("setup").toObject(), in.method.SampleNumber, RecordLimits::MaxCurves);
    in.method.controlRules = RunControls::rulesFromJson(o.value("rules").toArray());
    in.method.acceptances = RunControls::acceptancesFromJson(o.value("acceptance").toArray());
}
}

QDataStream& operator<<(QDataStream& s, const OutData& d)
{
    s << qint32(d.version) << d.reserved << d.inData << d.tempLines << d.pdLines << d.runComplete;
    const QByteArray controls = controlsBlock(d.inData);
    if (!controls.isEmpty()) {
        s << ControlsMark << quint32(controls.size());
        s.writeRawData(controls.constData(), controls.size());
    }
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
    readControls(s, d.inData);
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
