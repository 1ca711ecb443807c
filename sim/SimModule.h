#pragma once

// One simulated PCR module: two heaters that move toward their set-points at a fixed ramp, and
// the count of thermal cycles the chip went through (a cycle is a fall to annealing after a
// denaturation), counted afresh once both heaters are stopped (a new chip).
class SimModule
{
public:
    explicit SimModule(double rampPerSecond = 10.0);

    // Lets simulated time pass.
    void advance(double seconds);
    void setTarget(bool upper, double celsius);
    void stopHeater(bool upper);
    double temperature(bool upper) const { return upper ? mUp.temp : mDown.temp; }
    double chipTemperature() const { return (mUp.temp + mDown.temp) / 2; }
    int cycles() const { return mCycles; }

private:
    struct Heater
    {
        double temp = 25;
        double target = 25;
        bool on = false;
    };
    void move(Heater& h, double seconds) const;

    double mRamp;
    Heater mUp;
    Heater mDown;
    bool mDenatured = false;
    int mCycles = 0;
};
