#pragma once

#include "app/ZGLOBAL.h"
#include "files/OutData.h"
#include "instrument/Engine.h"
#include "instrument/FrameProtocol.h"

#include <QtTest>

namespace SimReadings {

// The readings the simulator answered with intact frames to module, in order, from its reply
// log: one vector of 52 values (curve-index order) per reading, the initial reading left out as
// the run leaves it out.
inline QVector<QVector<double>> answered(const QString& replyLog, int module)
{
    QVector<QVector<double>> readings;
    QVector<double> reading;
    int positions = 0;
    for (const QByteArray& line : ZGLOBAL::readFile(replyLog).split('\n')) {
        const QByteArray reply = QByteArray::fromHex(QByteArray(line).replace(' ', ""));
        if (reply.size() != 14 || reply[1] != char(module) || quint8(reply[2]) != 0xC2
            || FrameProtocol::checkReply(reply, 0, 14, true) != FrameProtocol::Check::Valid)
            continue;
        reading += Engine::pdValues(2, reply);
        if (++positions % 13 == 0) {
            if (positions > 13)
                readings << reading;
            reading.clear();
        }
    }
    return readings;
}

// The saved readings of module (two channels, 13 positions) that match no frame the simulator sent
// for their own position, taken in order: a reading under the wrong hole, or one never sent, counts.
inline int misplaced(const OutData& saved, const QString& replyLog, int module)
{
    QVector<QVector<QVector<double>>> sent(14);
    for (const QByteArray& line : ZGLOBAL::readFile(replyLog).split('\n')) {
        const QByteArray reply = QByteArray::fromHex(QByteArray(line).replace(' ', "")).left(14);
        if (reply.size() == 14 && reply[1] == char(module) && quint8(reply[2]) == 0xC2 && quint8(reply[3]) >= 1
            && quint8(reply[3]) <= 13)
            sent[quint8(reply[3])] << Engine::pdValues(2, reply);
    }
    int bad = 0;
    for (int p = 1; p <= 13; ++p) {
        const int first = 4 * (p - 1);
        int from = 0;
        for (int k = 0; k < saved.pdLines.value(first).size(); ++k) {
            QVector<double> values;
            for (int i = first; i < first + 4; ++i)
                values << saved.pdLines.value(i).value(k).y();
            int at = from;
            while (at < sent[p].size() && sent[p][at] != values)
                ++at;
            if (at < sent[p].size())
                from = at + 1;
            else
                ++bad;
        }
    }
    return bad;
}

// The record holds exactly the first count answered readings.
inline void compare(const OutData& saved, const QVector<QVector<double>>& answered, int count)
{
    QVERIFY(count <= answered.size());
    QCOMPARE(saved.pdLines.size(), 52);
    for (int i = 0; i < 52; ++i) {
        QCOMPARE(saved.pdLines[i].size(), count);
        for (int k = 0; k < count; ++k)
            QCOMPARE(saved.pdLines[i][k].y(), answered[k][i]);
    }
}

}
