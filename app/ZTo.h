#pragma once

#include <QString>

namespace ZTo {

// "hh:mm:ss" for a duration shorter than a day; empty for a negative one or a day and more.
QString secondToTimeString(int seconds);
// The pace the modules play, set once at start-up (1000 ms a step on the instrument), and the run
// time of a step list at that pace as "hh:mm:ss": every editor gives times as the wizard does.
void setStepMs(int ms);
QString runTimeString(qint64 steps);
// Waits while the event loop keeps serving timers, signals and input.
void delayMs(int ms);

}
