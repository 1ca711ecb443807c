#pragma once

#include <QString>

namespace ZTo {

// "hh:mm:ss" for a duration shorter than a day; empty for a negative one or a day and more.
QString secondToTimeString(int seconds);
// Waits while the event loop keeps serving timers, signals and input.
void delayMs(int ms);

}
