#include "instrument/CommandSet.h"

#include "instrument/FrameProtocol.h"
#include "method/RecordLimits.h"

#include <QDebug>

namespace CommandSet {

namespace {
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v & 0xFF));
    return out;
}

Command make(char addr, unsigned char code, const QByteArray& parameters, int replyLength, int tries)
{
    return Command{FrameProtocol::request(addr, code, parameters), replyLength, tries};
}
}

Command outLed(Engine::OUTLED_STATE state, char addr)
{
    return make(addr, 0xD0, bytes({state}), 10, RepeatableTries);
}

Command outFan(bool on, char addr)
{
    return make(addr, 0xD1, bytes({on ? 1 : 0}), 10, RepeatableTries);
}

Command inLed(bool on, char addr)
{
    return make(addr, 0xE1, bytes({on ? 0xFF : 0x00}), 10, RepeatableTries);
}

Command inLed(quint8 mask, char addr)
{
    return make(addr, 0xE1, bytes({mask}), 10, RepeatableTries);
}

Command upFan(bool on, char addr)
{
    return make(addr, 0xB2, bytes({0x32, on ? 1 : 2}), 10, RepeatableTries);
}

Command downFan(bool on, char addr)
{
    return make(addr, 0xA2, bytes({0x32, on ? 1 : 2}), 10, RepeatableTries);
}

Command moveRotor(Engine::ROTOR_DIRECT direction, int a, int b, Engine::ROTOR_DATA_MODEL mode, char addr)
{
    return make(addr, 0xC1, bytes({direction, a, b >> 8, b, mode}), 10, 1);
}

Command testRotor(char addr)
{
    return moveRotor(Engine::ROTOR_GO, 4, 10596, Engine::AUTO, addr);
}

Command resetRotor(char addr)
{
    return moveRotor(Engine::ROTOR_BACK, 4, 14792, Engine::NORMAL, addr);
}

Command moveUDRotor(Engine::UDROTOR_CONTROL action, int a, int b, char addr)
{
    return make(addr, 0xC3, bytes({action, a, b >> 8, b}), 10, 1);
}

Command setTemp(Engine::TEC_LOCAL heater, double celsius, char addr)
{
    // Hundredths of a degree, truncated toward zero, in 16 bits. A set-point outside the heaters'
    // safe range would arrive as some other temperature, so it never leaves the program.
    if (!RecordLimits::tempInRange(celsius)) {
        qWarning() << "set-point refused:" << celsius << "degC on module" << int(addr);
        return Command{};
    }
    const int t = int(celsius * 100);
    return make(addr, quint8(heater), bytes({t >> 8, t, 0x01}), 10, RepeatableTries);
}

Command stopTemp(Engine::TEC_LOCAL heater, char addr, int tries)
{
    return make(addr, quint8(heater), bytes({0, 0, 0x02}), 10, tries);
}

Command getTemp(Engine::TEC_LOCAL heater, char addr, int tries)
{
    return make(addr, quint8(heater - 1), bytes({0, 0x02}), 10, tries);
}

Command holeInfo(int position, int channels, char addr)
{
    return make(addr, 0xC2, bytes({position}), 4 * channels + 6, RepeatableTries);
}

Command pointInfo(int channels, char addr)
{
    return make(addr, 0xF6, QByteArray(), 4 * channels + 6, RepeatableTries);
}

bool temperature(const QByteArray& reply, double& celsius)
{
    if (reply.size() != 10)
        return false;
    celsius = (quint8(reply[3]) * 256 + quint8(reply[4])) / 100.0;
    return true;
}

QVector<double> pdValues(int channels, const QByteArray& reply)
{
    QVector<double> values(2 * qMax(channels, 0), -1.0);
    if (reply.size() != 4 * channels + 6)
        return values;
    auto at = [&reply](int i) { return (quint8(reply[i]) * 256 + quint8(reply[i + 1])) / 10.0; };
    if (channels == 1) {
        values[0] = at(4);
        values[1] = at(6);
    } else if (channels == 2) {
        values[0] = at(4);
        values[1] = at(8);
        values[2] = at(6);
        values[3] = at(10);
    }
    return values;
}

}
