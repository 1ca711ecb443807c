#include "method/InData.h"

#include "method/SafeStream.h"

bool InData::operator==(const InData& o) const
{
    return pcrNumber == o.pcrNumber && serialNumber == o.serialNumber && sampleNames == o.sampleNames
        && sampleRemarks == o.sampleRemarks && remark == o.remark && dateTime == o.dateTime
        && method == o.method && setup == o.setup;
}

QDataStream& operator<<(QDataStream& s, const InData& d)
{
    return s << qint32(d.pcrNumber) << d.serialNumber << d.sampleNames << d.sampleRemarks << d.remark
             << d.dateTime << d.method;
}

QDataStream& operator>>(QDataStream& s, InData& d)
{
    SafeStream::read(s, d.pcrNumber);
    SafeStream::read(s, d.serialNumber);
    SafeStream::read(s, d.sampleNames);
    SafeStream::read(s, d.sampleRemarks);
    SafeStream::read(s, d.remark);
    // Qt's own reader is bounded here: fixed-size date and time, and a zone name read in chunks.
    SafeStream::read(s, d.dateTime);
    s >> d.method;
    return s;
}

void InData::appendRemark(const QString& note)
{
    if (!note.isEmpty())
        remark = remark.isEmpty() ? note : remark + QStringLiteral("；") + note;
}
