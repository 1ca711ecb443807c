#pragma once

#include <QDataStream>
#include <QMap>
#include <QPointF>
#include <QString>
#include <QVector>

// Reading helpers for the stored records. Qt's own container readers reserve whatever count the
// stream claims before reading a single element, so a damaged file could ask for gigabytes. These
// check every count against the bytes left and a ceiling, mark the stream ReadCorruptData when it
// cannot be right, and never read once the stream has failed: every field after a failure keeps
// its default (zero, empty).
namespace SafeStream {

// The stream version of every stored file. Qt 5.15's, the library default; fixed so that the
// QDateTime encoding inside existing files stays readable whatever library the program runs on.
constexpr int Version = QDataStream::Qt_5_15;

// Ceiling for any element count: far above what a chip or a run produces.
constexpr quint32 MaxCount = 10'000'000;

bool ok(const QDataStream& s);
// Reads a count and checks that count elements of at least minBytes each can still follow.
// False (and the stream marked corrupt when the count is impossible) means: read nothing more.
bool readCount(QDataStream& s, quint32& count, qint64 minBytes);

template <typename T>
void read(QDataStream& s, T& value)
{
    value = T();
    if (ok(s))
        s >> value;
}

void read(QDataStream& s, QString& value);
// Element forms of the containers used in the records.
void read(QDataStream& s, QVector<qint32>& value);
void read(QDataStream& s, QVector<double>& value);
void read(QDataStream& s, QVector<QString>& value);
void read(QDataStream& s, QVector<QPointF>& value);

// QVector<T>/QList<T>/QStringList: count, then the elements. minBytes is the smallest stream
// form of one element.
template <typename Container>
void readList(QDataStream& s, Container& list, qint64 minBytes)
{
    list.clear();
    quint32 count = 0;
    if (!readCount(s, count, minBytes))
        return;
    for (quint32 i = 0; i < count && ok(s); ++i) {
        typename Container::value_type element{};
        read(s, element);
        list.append(element);
    }
    if (!ok(s))
        list.clear();
}

template <typename K, typename V>
void readMap(QDataStream& s, QMap<K, V>& map, qint64 minBytes)
{
    map.clear();
    quint32 count = 0;
    if (!readCount(s, count, minBytes))
        return;
    for (quint32 i = 0; i < count && ok(s); ++i) {
        K key{};
        V value{};
        read(s, key);
        read(s, value);
        map.insert(key, value);
    }
    if (!ok(s))
        map.clear();
}

}
