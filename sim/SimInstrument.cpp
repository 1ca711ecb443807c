#include "sim/SimInstrument.h"

#include "instrument/FrameProtocol.h"

#include <QtGlobal>

SimInstrument::SimInstrument(const SimScenario& scenario, const QSet<int>& modules, double rampPerSecond, double speed)
    : mScenario(scenario), mSpeed(speed), mNoise(scenario.seed())
{
    for (int address : modules)
        mModules.insert(address, SimModule(rampPerSecond));
    mClock.start();
}

void SimInstrument::advanceTime()
{
    const qint64 now = mClock.elapsed();
    const double seconds = (now - mLastMs) / 1000.0 * mSpeed;
    mLastMs = now;
    for (SimModule& m : mModules)
        m.advance(seconds);
}

QByteArray SimInstrument::holeReply(char address, SimModule& m, int position)
{
    const int channels = mScenario.channels();
    QByteArray data(4 * channels + 2, '\0');
    data[0] = char(0xC2);
    data[1] = char(position);
    for (int side = 0; side < 2; ++side) {
        const int hole = 2 * (position - 1) + side;
        for (int c = 0; c < channels; ++c) {
            const double value = mScenario.reading(hole, c, m.cycles(), m.chipTemperature(), mNoise.generateDouble() * 2 - 1);
            const int raw = qBound(0, qRound(value * 10), 65535);
            // First channel of both holes, then the second channel of both.
            const int at = 2 + 4 * c + 2 * side;
            data[at] = char(raw >> 8);
            data[at + 1] = char(raw & 0xFF);
        }
    }
    return FrameProtocol::reply(address, data, 4 * channels + 6);
}

QByteArray SimInstrument::answer(const QByteArray& request)
{
    if (request.size() != FrameProtocol::RequestLength || quint8(request[0]) != FrameProtocol::SendHead)
        return QByteArray();
    const char address = request[1];
    auto it = mModules.find(int(quint8(address)));
    if (it == mModules.end())
        return QByteArray();
    advanceTime();
    SimModule& m = it.value();
    const quint8 code = quint8(request[2]);
    const QByteArray echo = request.mid(2, 6);
    switch (code) {
    case 0xB1:
    case 0xA1: {
        const bool upper = code == 0xB1;
        if (request[5] == 0x01)
            m.setTarget(upper, (quint8(request[3]) * 256 + quint8(request[4])) / 100.0);
        else if (request[5] == 0x02)
            m.stopHeater(upper);
        return FrameProtocol::reply(address, echo, 10);
    }
    case 0xB0:
    case 0xA0: {
        const int t = qBound(0, qRound(m.temperature(code == 0xB0) * 100), 65535);
        QByteArray data(6, '\0');
        data[0] = char(code);
        data[1] = char(t >> 8);
        data[2] = char(t & 0xFF);
        return FrameProtocol::reply(address, data, 10);
    }
    case 0xC2:
        return holeReply(address, m, qMax(1, int(quint8(request[3]))));
    case 0xF6:
        return holeReply(address, m, 1);
    case 0xD0:
    case 0xD1:
    case 0xE1:
    case 0xB2:
    case 0xA2:
    case 0xC1:
    case 0xC3:
        return FrameProtocol::reply(address, echo, 10);
    default:
        return QByteArray(); // an unknown command goes unanswered
    }
}
