#include "method/SafeStream.h"

#include <QIODevice>

namespace SafeStream {

bool ok(const QDataStream& s)
{
    return s.status() == QDataStream::Ok && s.device();
}

bool readCount(QDataStream& s, quint32& count, qint64 minBytes)
{
    count = 0;
    if (!ok(s))
        return false;
    s >> count;
    if (!ok(s))
        return false;
    const qint64 left = s.device()->isSequential() ? qint64(MaxCount) * minBytes : s.device()->bytesAvailable();
    if (count > MaxCount || qint64(count) * minBytes > left) {
        count = 0;
        s.setStatus(QDataStream::ReadCorruptData);
        return false;
    }
    return true;
}

void read(QDataStream& s, QString& value)
{
    value.clear();
    if (!ok(s))
        return;
    quint32 bytes = 0;
    s >> bytes;
    if (!ok(s))
        return;
    if (bytes == 0xFFFFFFFF) {
        value = QString();
        return;
    }
    const qint64 left = s.device()->isSequential() ? qint64(bytes) : s.device()->bytesAvailable();
    if ((bytes & 1) || bytes > 2 * MaxCount || qint64(bytes) > left) {
        s.setStatus(QDataStream::ReadCorruptData);
        return;
    }
    QByteArray raw(int(bytes), Qt::Uninitialized);
    if (s.readRawData(raw.data(), int(bytes)) != int(bytes)) {
        s.setStatus(QDataStream::ReadPastEnd);
        return;
    }
    value.resize(int(bytes / 2));
    const uchar* p = reinterpret_cast<const uchar*>(raw.constData());
    for (int i = 0; i < value.size(); ++i)
        value[i] = QChar(ushort(p[2 * i] << 8 | p[2 * i + 1]));
    if (bytes == 0)
        value = QString(""); // an empty (not null) string, as written
}

void read(QDataStream& s, QVector<qint32>& value) { readList(s, value, 4); }
void read(QDataStream& s, QVector<double>& value) { readList(s, value, 8); }
void read(QDataStream& s, QVector<QString>& value) { readList(s, value, 4); }
void read(QDataStream& s, QVector<QPointF>& value) { readList(s, value, 16); }

}
