// The instrument's command set: one exchange each, built on the frame rules.
#include "instrument/Engine.h"
#include "instrument/FrameProtocol.h"
#include "method/RecordLimits.h"

#include <QDebug>

namespace {
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v & 0xFF));
    return out;
}
}

int Engine::command(char addr, unsigned char code, const QByteArray& parameters, int replyLength, int tries, QByteArray* reply)
{
    QByteArray received;
    int retries = (mTriesLimit > 0 ? qMin(tries, mTriesLimit) : tries) - 1;
    const int result = serialSendData(FrameProtocol::request(addr, code, parameters), received, replyLength, addr, true, retries);
    if (reply)
        *reply = received;
    return result;
}

int Engine::outLed(OUTLED_STATE state, char addr)
{
    return command(addr, 0xD0, bytes({state}), 10, RepeatableTries);
}

int Engine::outFan(bool on, char addr)
{
    return command(addr, 0xD1, bytes({on ? 1 : 0}), 10, RepeatableTries);
}

int Engine::inLed(bool on, char addr)
{
    return command(addr, 0xE1, bytes({on ? 0xFF : 0x00}), 10, RepeatableTries);
}

int Engine::inLed(quint8 mask, char addr)
{
    return command(addr, 0xE1, bytes({mask}), 10, RepeatableTries);
}

int Engine::upFan(bool on, char addr)
{
    return command(addr, 0xB2, bytes({0x32, on ? 1 : 2}), 10, RepeatableTries);
}

int Engine::downFan(bool on, char addr)
{
    return command(addr, 0xA2, bytes({0x32, on ? 1 : 2}), 10, RepeatableTries);
}

int Engine::moveRotor(ROTOR_DIRECT direction, int a, int b, ROTOR_DATA_MODEL mode, char addr)
{
    return command(addr, 0xC1, bytes({direction, a, b >> 8, b, mode}), 10, 1);
}

int Engine::testRotor(char addr)
{
    return moveRotor(ROTOR_GO, 4, 10596, AUTO, addr);
}

int Engine::resetRotor(char addr)
{
    return moveRotor(ROTOR_BACK, 4, 14792, NORMAL, addr);
}

int Engine::testProRotor(char addr)
{
    return serialSendData(FrameProtocol::request(addr, 0xC1, bytes({1, 1, 12000 >> 8, 12000, SUCESSIVE})), addr);
}

int Engine::moveUDRotor(UDROTOR_CONTROL action, int a, int b, char addr)
{
    return command(addr, 0xC3, bytes({action, a, b >> 8, b}), 10, 1);
}

int Engine::setTemp(TEC_LOCAL heater, double celsius, char addr)
{
    // Hundredths of a degree, truncated toward zero, in 16 bits. A set-point outside the heaters'
    // safe range would arrive as some other temperature, so it never leaves the program.
    if (!RecordLimits::tempInRange(celsius)) {
        qWarning() << "set-point refused:" << celsius << "degC on module" << int(addr);
        return SERIALPORT_WRITE_ERROR;
    }
    const int t = int(celsius * 100);
    return command(addr, quint8(heater), bytes({t >> 8, t, 0x01}), 10, RepeatableTries);
}

int Engine::setTemp(double up, double down, char addr)
{
    const int result = setTemp(TEC_UP, up, addr);
    return result != SERIALPORT_NO_ERROR ? result : setTemp(TEC_DOWN, down, addr);
}

int Engine::stopTemp(TEC_LOCAL heater, char addr, int tries)
{
    return command(addr, quint8(heater), bytes({0, 0, 0x02}), 10, tries);
}

int Engine::getTemp(TEC_LOCAL heater, double& celsius, char addr, int tries)
{
    QByteArray reply;
    const int result = command(addr, quint8(heater - 1), bytes({0, 0x02}), 10, tries, &reply);
    if (reply.size() == 10)
        celsius = (quint8(reply[3]) * 256 + quint8(reply[4])) / 100.0;
    return result;
}

QVector<double> Engine::pdValues(int channels, const QByteArray& reply)
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

int Engine::holeInfo(int position, int channels, QVector<double>& values, char addr)
{
    QByteArray reply;
    const int result = command(addr, 0xC2, bytes({position}), 4 * channels + 6, RepeatableTries, &reply);
    values = pdValues(channels, reply);
    qDebug() << "hole:" << position << SendData() << RecData();
    return result;
}

int Engine::pointInfo(int channels, QVector<double>& values, char addr)
{
    QByteArray reply;
    const int result = command(addr, 0xF6, QByteArray(), 4 * channels + 6, RepeatableTries, &reply);
    values = pdValues(channels, reply);
    return result;
}

int Engine::holeInfos(int holes, int channels, QVector<double>& values, char addr)
{
    bool failed = false;
    for (int p = 1; p <= holes / 2; ++p) {
        QVector<double> v;
        failed = holeInfo(p, channels, v, addr) != SERIALPORT_NO_ERROR || failed;
        values += v;
    }
    return failed ? SERIALPORT_EXISTERROR : SERIALPORT_NO_ERROR;
}
