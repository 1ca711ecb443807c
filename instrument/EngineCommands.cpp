// The instrument's command set, each command one exchange with its retries.
#include "instrument/CommandSet.h"
#include "instrument/Engine.h"
#include "instrument/FrameProtocol.h"

#include <QDebug>

int Engine::command(const Command& c, QByteArray* reply)
{
    if (c.request.isEmpty())
        return SERIALPORT_WRITE_ERROR;
    QByteArray received;
    int retries = c.tries - 1;
    const int result = serialSendData(c.request, received, c.replyLength, c.address(), true, retries);
    if (reply)
        *reply = received;
    return result;
}

int Engine::outLed(OUTLED_STATE state, char addr)
{
    return command(CommandSet::outLed(state, addr));
}

int Engine::outFan(bool on, char addr)
{
    return command(CommandSet::outFan(on, addr));
}

int Engine::inLed(bool on, char addr)
{
    return command(CommandSet::inLed(on, addr));
}

int Engine::inLed(quint8 mask, char addr)
{
    return command(CommandSet::inLed(mask, addr));
}

int Engine::upFan(bool on, char addr)
{
    return command(CommandSet::upFan(on, addr));
}

int Engine::downFan(bool on, char addr)
{
    return command(CommandSet::downFan(on, addr));
}

int Engine::moveRotor(ROTOR_DIRECT direction, int a, int b, ROTOR_DATA_MODEL mode, char addr)
{
    return command(CommandSet::moveRotor(direction, a, b, mode, addr));
}

int Engine::testRotor(char addr)
{
    return command(CommandSet::testRotor(addr));
}

int Engine::resetRotor(char addr)
{
    return command(CommandSet::resetRotor(addr));
}

int Engine::testProRotor(char addr)
{
    return serialSendData(FrameProtocol::request(addr, 0xC1, QByteArray::fromHex("01012ee0ff")), addr);
}

int Engine::moveUDRotor(UDROTOR_CONTROL action, int a, int b, char addr)
{
    return command(CommandSet::moveUDRotor(action, a, b, addr));
}

int Engine::setTemp(TEC_LOCAL heater, double celsius, char addr)
{
    return command(CommandSet::setTemp(heater, celsius, addr));
}

int Engine::setTemp(double up, double down, char addr)
{
    const int result = setTemp(TEC_UP, up, addr);
    return result != SERIALPORT_NO_ERROR ? result : setTemp(TEC_DOWN, down, addr);
}

int Engine::stopTemp(TEC_LOCAL heater, char addr, int tries)
{
    return command(CommandSet::stopTemp(heater, addr, tries));
}

int Engine::getTemp(TEC_LOCAL heater, double& celsius, char addr, int tries)
{
    QByteArray reply;
    const int result = command(CommandSet::getTemp(heater, addr, tries), &reply);
    CommandSet::temperature(reply, celsius);
    return result;
}

QVector<double> Engine::pdValues(int channels, const QByteArray& reply)
{
    return CommandSet::pdValues(channels, reply);
}

int Engine::holeInfo(int position, int channels, QVector<double>& values, char addr)
{
    QByteArray reply;
    const int result = command(CommandSet::holeInfo(position, channels, addr), &reply);
    values = pdValues(channels, reply);
    qDebug() << "hole:" << position << SendData() << RecData();
    return result;
}

int Engine::pointInfo(int channels, QVector<double>& values, char addr)
{
    QByteArray reply;
    const int result = command(CommandSet::pointInfo(channels, addr), &reply);
    values = pdValues(channels, reply);
    return result;
}

int Engine::holeInfos(int holes, int channels, QVector<double>& values, char addr)
{
    // A position that does not answer ends the reading: the step fails anyway, and every further
    // position would cost its own unanswered read windows.
    for (int p = 1; p <= holes / 2; ++p) {
        QVector<double> v;
        const int result = holeInfo(p, channels, v, addr);
        values += v;
        if (result != SERIALPORT_NO_ERROR) {
            values += QVector<double>((holes / 2 - p) * 2 * channels, -1.0);
            return SERIALPORT_EXISTERROR;
        }
    }
    return SERIALPORT_NO_ERROR;
}
