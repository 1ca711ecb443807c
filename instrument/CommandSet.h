#pragma once

#include "instrument/Command.h"
#include "instrument/Engine.h"

// The instrument's commands as frames, with the reply each expects and the attempts it is worth.
// The last argument is always the module address.
namespace CommandSet {

constexpr int RepeatableTries = Command::RepeatableTries;

Command outLed(Engine::OUTLED_STATE state, char addr);
Command outFan(bool on, char addr);
Command inLed(bool on, char addr);
Command inLed(quint8 mask, char addr);
Command upFan(bool on, char addr);
Command downFan(bool on, char addr);
Command moveRotor(Engine::ROTOR_DIRECT direction, int a, int b, Engine::ROTOR_DATA_MODEL mode, char addr);
Command testRotor(char addr);
Command resetRotor(char addr);
Command moveUDRotor(Engine::UDROTOR_CONTROL action, int a, int b, char addr);
// Refused (an empty request) when the set-point lies outside the heaters' safe range.
Command setTemp(Engine::TEC_LOCAL heater, double celsius, char addr);
Command stopTemp(Engine::TEC_LOCAL heater, char addr, int tries = RepeatableTries);
// A read only: what the connection probe and the idle check ask.
Command getTemp(Engine::TEC_LOCAL heater, char addr, int tries = RepeatableTries);
Command holeInfo(int position, int channels, char addr);
Command pointInfo(int channels, char addr);

// The temperature a getTemp reply carries; false (and celsius untouched) for anything else.
bool temperature(const QByteArray& reply, double& celsius);
// The 2n photodiode values of a hole reply, -1 where the reply does not carry them.
QVector<double> pdValues(int channels, const QByteArray& reply);

}
