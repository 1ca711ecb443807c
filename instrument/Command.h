#pragma once

#include <QByteArray>

// One instrument command as it goes on the wire: its request frame, the length of the reply it
// expects and how many attempts it is worth. An empty request is a command that was refused
// before it could be sent (a set-point out of range).
struct Command
{
    // Commands whose effect does not depend on how often they arrive (set-points, lamps, fans,
    // readings) are sent again on a missing or broken reply; rotor moves are not, since a lost
    // reply cannot tell whether the rotor moved.
    static constexpr int RepeatableTries = 4;

    QByteArray request;
    int replyLength = 10;
    int tries = 1;

    char address() const { return request.size() > 1 ? request[1] : '\0'; }
    quint8 code() const { return request.size() > 2 ? quint8(request[2]) : 0; }
};
