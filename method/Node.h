#pragma once

#include <QDataStream>

// One temperature hold of the program, applied to both heaters.
struct Node
{
    int Time = 0;      // seconds
    double Temp = 0.0; // degrees C
    bool Test = false; // a fluorescence reading ends this hold (cycle stages)

    bool operator==(const Node& o) const { return Time == o.Time && Temp == o.Temp && Test == o.Test; }
};

QDataStream& operator<<(QDataStream& s, const Node& node);
QDataStream& operator>>(QDataStream& s, Node& node);
