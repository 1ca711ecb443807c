#pragma once

#include <QString>

// What one step of a run list makes the instrument do. The values are fixed: they travel in logs.
enum ControlKind : int {
    OUT_FAN_OPEN = 0,
    OUT_FAN_CLOSE = 1,
    UP_FAN_OPEN = 2,
    UP_FAN_CLOSE = 3,
    DOWN_FAN_OPEN = 4,
    DOWN_FAN_CLOSE = 5,
    OUT_LED_BLUE = 6,
    OUT_LED_RED = 7,
    OUT_LED_SPACE = 8,
    IN_LED_OPEN = 9,
    IN_LED_CLOSE = 10,
    UD_ROTOR_DOWN_1 = 11,
    UD_ROTOR_UPRESET = 12,
    ROTOR_TEST = 13,
    ROTOR_RESET = 14,
    IMMUNE_CYCLE_DATA = 15,
    STOP_TEMP = 16,
    GET_TEMP = 17,
    SET_TEMP_All = 18,
    DELAY = 19,
    UD_ROTOR_DOWN_2 = 20,
    IMMUNE_MELT_DATA = 21,
    SET_TEMP_UP = 22,
    SET_TEMP_DOWN = 23,
    IMMUNE_DATA = 24,
};

// The kind's name as written to the log ("GET_TEMP"); "UNKNOWN_<n>" for a value outside the set.
QString controlKindName(int kind);

// One executable instrument step; each takes one second of its module's schedule.
struct ControlElement
{
    int kind = DELAY;
    int aux = 0;
    double upTemp = 0.0;   // upper heater, degrees C (temperature kinds only)
    double downTemp = 0.0; // lower heater, degrees C (temperature kinds only)

    bool operator==(const ControlElement& o) const
    {
        return kind == o.kind && aux == o.aux && upTemp == o.upTemp && downTemp == o.downTemp;
    }
};
