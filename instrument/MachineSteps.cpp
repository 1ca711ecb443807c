// What each kind of step makes the instrument do.
#include "instrument/Machine.h"

#include <QDebug>

namespace {
int both(int first, int second)
{
    return first != 0 || second != 0 ? int(Engine::SERIALPORT_EXISTERROR) : 0;
}
}

int Machine::modelRun(ControlElement e, char number)
{
    Engine& en = *mpEngine;
    int result = 0;
    QString name = controlKindName(e.kind);
    QString detail;
    switch (e.kind) {
    case OUT_FAN_OPEN: result = en.outFan(true, number); break;
    case OUT_FAN_CLOSE: result = en.outFan(false, number); break;
    case UP_FAN_OPEN: result = en.upFan(true, number); break;
    case UP_FAN_CLOSE: result = en.upFan(false, number); break;
    case DOWN_FAN_OPEN: result = en.downFan(true, number); break;
    case DOWN_FAN_CLOSE: result = en.downFan(false, number); break;
    case OUT_LED_BLUE: result = en.outLed(Engine::OUTLED_NORMAL, number); break;
    case OUT_LED_RED: result = en.outLed(Engine::OUTLED_STOP, number); break;
    case OUT_LED_SPACE: result = en.outLed(Engine::OUTLED_SPACE, number); break;
    case IN_LED_OPEN: result = en.inLed(true, number); break;
    case IN_LED_CLOSE: result = en.inLed(false, number); break;
    case UD_ROTOR_DOWN_1: result = en.moveUDRotor(Engine::DOWN, 4, 1850, number); break;
    case UD_ROTOR_UPRESET: result = en.moveUDRotor(Engine::UP_RESET, 4, 2500, number); break;
    case ROTOR_TEST: result = en.testRotor(number); break;
    case ROTOR_RESET: result = en.resetRotor(number); break;
    case UD_ROTOR_DOWN_2: result = en.moveUDRotor(Engine::DOWN, 1, 160, number); break;
    case STOP_TEMP: {
        const int up = en.stopTemp(Engine::TEC_UP, number);
        result = both(up, en.stopTemp(Engine::TEC_DOWN, number));
        break;
    }
    case SET_TEMP_All: {
        const int up = en.setTemp(Engine::TEC_UP, e.upTemp, number);
        result = both(up, en.setTemp(Engine::TEC_DOWN, e.downTemp, number));
        detail = QString("%1 %2").arg(e.upTemp).arg(e.downTemp);
        break;
    }
    case SET_TEMP_UP:
        result = en.setTemp(Engine::TEC_UP, e.upTemp, number);
        detail = QString("%1 %2").arg(e.upTemp).arg(e.downTemp);
        break;
    case SET_TEMP_DOWN:
        result = en.setTemp(Engine::TEC_DOWN, e.downTemp, number);
        detail = QString("%1 %2").arg(e.upTemp).arg(e.downTemp);
        break;
    case DELAY: break;
    case IMMUNE_CYCLE_DATA:
        ++mConnectDatas[int(number)].cycle;
        result = readHoles(number, ConnectData::HOLE_READING);
        break;
    case IMMUNE_MELT_DATA:
        ++mConnectDatas[int(number)].meltStep;
        result = readHoles(number, ConnectData::HOLE_READING);
        break;
    case IMMUNE_DATA: result = readHoles(number, ConnectData::INITIAL_READING); break;
    default:
        name = "default";
        Q_FALLTHROUGH();
    case GET_TEMP: {
        double up = -1.0, down = -1.0;
        const int upResult = en.getTemp(Engine::TEC_UP, up, number);
        const int downResult = en.getTemp(Engine::TEC_DOWN, down, number);
        result = both(upResult, downResult);
        ConnectData data = mConnectDatas[int(number)];
        data.dataType = ConnectData::TEMPERATURE;
        data.pcrIndex = number;
        data.upTemp = upResult == 0 ? up : -1.0;
        data.downTemp = downResult == 0 ? down : -1.0;
        data.pdValues.clear();
        report(number, data);
        detail = QString("%1 %2").arg(data.upTemp).arg(data.downTemp);
        break;
    }
    }
    if (e.kind == IMMUNE_CYCLE_DATA)
        qDebug() << name << result;
    else
        qDebug() << name << result << detail << en.SendData() << en.RecData();
    if (result != 0)
        qDebug() << "ControlElement:{" << e.kind << "," << e.aux << "," << e.upTemp << "," << e.downTemp << ",};"
                 << int(number) << result;
    return result;
}
