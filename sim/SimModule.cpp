#include "sim/SimModule.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double Ambient = 25;
constexpr double Denaturing = 90;
constexpr double Annealing = 70;
}

SimModule::SimModule(double rampPerSecond) : mRamp(rampPerSecond) {}

void SimModule::move(Heater& h, double seconds) const
{
    // A heater that is off drifts back to room temperature, more slowly than it is driven.
    const double target = h.on ? h.target : Ambient;
    const double rate = h.on ? mRamp : mRamp / 4;
    const double step = rate * seconds;
    if (std::fabs(target - h.temp) <= step)
        h.temp = target;
    else
        h.temp += target > h.temp ? step : -step;
}

void SimModule::advance(double seconds)
{
    if (seconds <= 0)
        return;
    move(mUp, seconds);
    move(mDown, seconds);
    const double chip = chipTemperature();
    if (chip >= Denaturing)
        mDenatured = true;
    else if (chip <= Annealing && mDenatured) {
        mDenatured = false;
        ++mCycles;
    }
}

void SimModule::setTarget(bool upper, double celsius)
{
    Heater& h = upper ? mUp : mDown;
    h.target = celsius;
    h.on = true;
}

void SimModule::stopHeater(bool upper)
{
    (upper ? mUp : mDown).on = false;
    // Both heaters off: the run is over and its chip taken out; the next test's chip starts
    // its amplification afresh.
    if (!mUp.on && !mDown.on) {
        mCycles = 0;
        mDenatured = false;
    }
}
