#include "method/ControlElement.h"

#include <QStringList>

QString controlKindName(int kind)
{
    static const QStringList names = {
        "OUT_FAN_OPEN", "OUT_FAN_CLOSE", "UP_FAN_OPEN", "UP_FAN_CLOSE", "DOWN_FAN_OPEN",
        "DOWN_FAN_CLOSE", "OUT_LED_BLUE", "OUT_LED_RED", "OUT_LED_SPACE", "IN_LED_OPEN",
        "IN_LED_CLOSE", "UD_ROTOR_DOWN_1", "UD_ROTOR_UPRESET", "ROTOR_TEST", "ROTOR_RESET",
        "IMMUNE_CYCLE_DATA", "STOP_TEMP", "GET_TEMP", "SET_TEMP_All", "DELAY",
        "UD_ROTOR_DOWN_2", "IMMUNE_MELT_DATA", "SET_TEMP_UP", "SET_TEMP_DOWN", "IMMUNE_DATA",
    };
    if (kind >= 0 && kind < names.size())
        return names.at(kind);
    return QString("UNKNOWN_%1").arg(kind);
}
