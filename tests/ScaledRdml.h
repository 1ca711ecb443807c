#pragma once

#include <QByteArray>

// An RDML document with every fluorescence value multiplied by scale: the same run as another
// instrument with another gain would record it.
inline QByteArray scaledRdml(const QByteArray& xml, double scale)
{
    QByteArray out;
    int at = 0;
    for (int open = xml.indexOf("<fluor>"); open >= 0; open = xml.indexOf("<fluor>", at)) {
        const int close = xml.indexOf("</fluor>", open);
        if (close < 0)
            break;
        out += xml.mid(at, open + 7 - at) + QByteArray::number(xml.mid(open + 7, close - open - 7).toDouble() * scale, 'g', 12);
        at = close;
    }
    return out + xml.mid(at);
}
