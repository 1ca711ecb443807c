#pragma once

#include "instrument/ConnectData.h"
#include "method/SMethod.h"

// The run monitor's status line for a report: temperatures, cycle and melt progress as far as
// the method has them, remaining time and progress.
QString statusLine(const SMethod& method, const ConnectData& data);
// The line before the first report: 0.00 degrees, nothing done, the whole run ahead. Empty for a
// method with neither cycles nor a melt.
QString initialStatusLine(const SMethod& method);
