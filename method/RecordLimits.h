#pragma once

#include <QtGlobal>

// The ranges every method and experiment record must lie in, whether it comes from a method file,
// an experiment file or a person. Real chips have 26 holes and 2 channels and a run reads each
// curve a few hundred times at most; anything beyond these is a damaged or hostile record,
// refused before work or memory is spent on it.
namespace RecordLimits {

constexpr int MaxHoles = 1000;
constexpr int MaxChannels = 16;
constexpr int MaxSamples = MaxHoles;
constexpr int MaxCurves = MaxHoles * MaxChannels;
// Fluorescence readings per curve: amplification and melt readings together.
constexpr int MaxReadings = 10000;
// Temperature samples per heater: one per second of the longest run list the program plays.
constexpr int MaxTemperatureSamples = 2'100'000;

// The heaters' safe range: no hold, melt bound or set-point leaves it.
constexpr double MinTemp = 0.0;
constexpr double MaxTemp = 100.0;

inline bool countInRange(int value, int max) { return value >= 0 && value <= max; }
// False for NaN too.
inline bool tempInRange(double celsius) { return celsius >= MinTemp && celsius <= MaxTemp; }

}
