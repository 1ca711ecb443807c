#pragma once

#include "instrument/ConnectData.h"
#include "method/SMethod.h"

// The run monitor's status line for a report: temperatures, cycle and melt progress as far as
// the method has them, remaining time and progress. stepMs: what a step takes at the pace the
// modules play (1000 on the instrument), so the time shown is the time the run will take.
QString statusLine(const SMethod& method, const ConnectData& data, int stepMs = 1000);
// The line before the first report: 0.00 degrees, nothing done, the whole run ahead. Empty for a
// method with neither cycles nor a melt.
QString initialStatusLine(const SMethod& method, int stepMs = 1000);
// The time a number of steps takes at stepMs a step, in whole seconds (rounded up).
int runSeconds(qint64 steps, int stepMs);
