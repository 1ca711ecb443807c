#pragma once

#include "method/SMethod.h"

// Whether a method may be played on a module: every hold and melt bound within the heaters' safe
// range, and no more readings per curve than an experiment file may hold. Hold times are not
// judged: a time of 0 is legal and harmless. Empty when the method may run, otherwise the message
// for the operator, naming the first stage and hold at fault (both counted from 1).
QString programFault(const SMethod& method);
