// The expansion of a method into the steps a module plays, one per second.
#include "method/MeltRange.h"
#include "method/RunListWriter.h"
#include "method/SMethod.h"

#include <cmath>

namespace {

// The reading block of an amplification cycle, after its idle seconds.
void addCycleReading(RunListWriter& w)
{
    w.add(IN_LED_OPEN);
    w.add(GET_TEMP);
    w.add(ROTOR_TEST);
    w.repeat(7, DELAY);
    w.add(GET_TEMP);
    w.add(IN_LED_CLOSE);
    w.add(IMMUNE_CYCLE_DATA);
    w.add(ROTOR_RESET);
}

// A melt reading: note the order differs from the cycle block after the delays.
void addMeltReading(RunListWriter& w)
{
    w.add(IN_LED_OPEN);
    w.add(GET_TEMP);
    w.add(ROTOR_TEST);
    w.repeat(7, DELAY);
    w.add(IMMUNE_MELT_DATA);
    w.add(IN_LED_CLOSE);
    w.add(GET_TEMP);
    w.add(ROTOR_RESET);
}

void addMelt(RunListWriter& w, const Step& step)
{
    const MeltRange range(step);
    if (!range.isValid())
        return;
    const int settle = step.NodeList.at(0).Time;
    const int after = step.NodeList.at(1).Time;
    for (int k = 0; k < range.points() && !w.full(); ++k) {
        const double t = range.temperature(k);
        w.setTemp(t, t);
        w.repeat(settle - 1, GET_TEMP);
        addMeltReading(w);
        w.repeat(after - 1, GET_TEMP);
    }
}

}

int SMethod::getUdTime(double from, double to) const
{
    const double d = to - from;
    const double rate = d > 0 ? UpTime : DownTime;
    if (d == 0 || rate == 0)
        return 0;
    return truncToInt(std::fabs(d / rate));
}

QStack<ControlElement> SMethod::getAllRunCmd() const
{
    RunListWriter w;
    w.add(UD_ROTOR_UPRESET);
    w.add(ROTOR_TEST);
    w.repeat(7, GET_TEMP);
    w.add(ROTOR_RESET);
    w.add(IN_LED_CLOSE);
    w.add(IMMUNE_DATA);
    w.repeat(7, GET_TEMP);
    w.append(getUDCmd());
    QStack<ControlElement> list = w.take();
    list += getRunCmd();
    return list;
}

QStack<ControlElement> SMethod::getUDCmd() const
{
    RunListWriter w;
    w.add(UD_ROTOR_DOWN_1);
    w.repeat(5, GET_TEMP);
    w.add(OUT_LED_BLUE);
    w.add(UD_ROTOR_DOWN_1);
    w.add(OUT_FAN_OPEN);
    w.add(UP_FAN_OPEN);
    w.add(DOWN_FAN_OPEN);
    w.add(ROTOR_RESET);
    w.repeat(6, GET_TEMP);
    w.add(UD_ROTOR_DOWN_2);
    return w.take();
}

QStack<ControlElement> SMethod::getRunCmd() const
{
    RunListWriter w;
    w.add(UD_ROTOR_DOWN_2);
    double prev = 25.0;
    for (const Step& step : Flow.steps) {
        // A stage without holds plays nothing, however many times it is repeated.
        if (step.NodeList.isEmpty())
            continue;
        switch (step.StepType) {
        case Step::STEP_CONSTANT:
            for (int c = 0; c < step.CycleCount && !w.full(); ++c)
                for (const Node& n : step.NodeList) {
                    w.setTemp(n.Temp, n.Temp);
                    w.repeat(n.Time - 1, GET_TEMP);
                    prev = n.Temp;
                }
            break;
        case Step::STEP_CYCLE:
            for (int c = 0; c < step.CycleCount && !w.full(); ++c)
                for (const Node& n : step.NodeList) {
                    w.setTemp(n.Temp, n.Temp);
                    const qint64 hold = qint64(n.Time) + getUdTime(prev, n.Temp);
                    if (n.Test) {
                        w.repeat(int(qBound<qint64>(0, hold - 12, RunListWriter::MaxProgramSteps)), GET_TEMP);
                        addCycleReading(w);
                    } else {
                        w.repeat(int(qBound<qint64>(0, hold - 1, RunListWriter::MaxProgramSteps)), GET_TEMP);
                    }
                    prev = n.Temp;
                }
            break;
        case Step::STEP_MELT:
            addMelt(w, step);
            break;
        }
    }
    w.uncap();
    w.setTemp(30.0, 30.0);
    w.repeat(5, GET_TEMP);
    w.add(OUT_LED_RED);
    w.add(STOP_TEMP);
    w.add(UD_ROTOR_UPRESET);
    w.add(GET_TEMP);
    w.add(STOP_TEMP);
    return w.take();
}

QStack<ControlElement> SMethod::getStopCmd() const
{
    RunListWriter w;
    w.add(STOP_TEMP);
    w.add(IN_LED_CLOSE);
    w.add(UD_ROTOR_UPRESET);
    w.add(ROTOR_RESET);
    w.repeat(5, DELAY);
    w.add(OUT_LED_RED);
    return w.take();
}

QStack<ControlElement> SMethod::getReSRunCmd() const
{
    RunListWriter w;
    for (int c = 0; c < ReDissolveCycle && !w.full(); ++c) {
        w.setTemp(ReDissolveTempLow, ReDissolveTempHigh);
        w.repeat(ReDissolveTime - 1, GET_TEMP);
        w.setTemp(ReDissolveTempHigh, ReDissolveTempLow);
        w.repeat(ReDissolveTime - 1, GET_TEMP);
    }
    return w.take();
}
