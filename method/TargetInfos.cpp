#include "method/TargetInfos.h"

#include "method/SafeStream.h"

namespace {
constexpr qint64 TargetInfosBytes = 8 * 4; // eight empty vectors

template <typename T>
T valueAt(const QVector<T>& v, int i)
{
    return i >= 0 && i < v.size() ? v.at(i) : T();
}

template <typename T>
void setAt(QVector<T>& v, int i, const T& value)
{
    if (v.size() <= i)
        v.resize(i + 1);
    v[i] = value;
}
}

TargetInfo TargetInfos::at(int c) const
{
    TargetInfo t;
    t.Name = valueAt(names, c);
    t.AutoThreshold = valueAt(AutoThreshold, c);
    t.Threshold = valueAt(Threshold, c);
    t.AutoRange = valueAt(AutoRange, c);
    t.Start = valueAt(Start, c);
    t.End = valueAt(End, c);
    t.BorderThreshold = valueAt(BorderThreshold, c);
    t.CtThreshold = valueAt(CtThreshold, c);
    return t;
}

void TargetInfos::append(const TargetInfo& t)
{
    set(names.size(), t, true);
}

void TargetInfos::set(int c, const TargetInfo& t, bool withName)
{
    if (c < 0)
        return;
    if (withName || names.size() <= c)
        setAt(names, c, withName ? t.Name : QString());
    setAt(AutoThreshold, c, t.AutoThreshold);
    setAt(Threshold, c, t.Threshold);
    setAt(AutoRange, c, t.AutoRange);
    setAt(Start, c, t.Start);
    setAt(End, c, t.End);
    setAt(BorderThreshold, c, t.BorderThreshold);
    setAt(CtThreshold, c, t.CtThreshold);
}

bool TargetInfos::operator==(const TargetInfos& o) const
{
    return names == o.names && AutoThreshold == o.AutoThreshold && Threshold == o.Threshold
        && AutoRange == o.AutoRange && Start == o.Start && End == o.End
        && BorderThreshold == o.BorderThreshold && CtThreshold == o.CtThreshold;
}

QDataStream& operator<<(QDataStream& s, const TargetInfos& t)
{
    return s << t.names << t.AutoThreshold << t.Threshold << t.AutoRange << t.Start << t.End
             << t.BorderThreshold << t.CtThreshold;
}

QDataStream& operator>>(QDataStream& s, TargetInfos& t)
{
    SafeStream::read(s, t.names);
    SafeStream::read(s, t.AutoThreshold);
    SafeStream::read(s, t.Threshold);
    SafeStream::read(s, t.AutoRange);
    SafeStream::read(s, t.Start);
    SafeStream::read(s, t.End);
    SafeStream::read(s, t.BorderThreshold);
    SafeStream::read(s, t.CtThreshold);
    return s;
}

QDataStream& operator<<(QDataStream& s, const QVector<TargetInfos>& v)
{
    s << qint32(v.size());
    for (const TargetInfos& t : v)
        s << t;
    return s;
}

QDataStream& operator>>(QDataStream& s, QVector<TargetInfos>& v)
{
    SafeStream::readList(s, v, TargetInfosBytes);
    return s;
}
