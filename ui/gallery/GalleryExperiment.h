#pragma once

#include "files/OutData.h"

// A finished run of a method on the simulated instrument's built-in chip, without the serial
// link: the run list drives the simulated heaters one second per step, and every reading step
// reads every hole and channel from the simulator's curve model.
OutData galleryExperiment(const SMethod& method);
