#pragma once

#include <QByteArray>
#include <QString>

// Expected bytes written down by hand in tests: "00 00 00 78 40 57 ..." (blanks ignored).
inline QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A QString in its stream form: byte length, then UTF-16 big-endian code units.
inline QByteArray streamString(const QString& s)
{
    QByteArray out;
    const quint32 n = quint32(s.size() * 2);
    out.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    for (QChar c : s)
        out.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    return out;
}
