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
