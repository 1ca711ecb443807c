#include "method/Flow.h"

#include "method/SafeStream.h"

namespace {
constexpr qint64 StepBytes = 4 + 4 + 4;
}

int Flow::getCycle() const
{
    for (const Step& step : steps)
        if (step.StepType == Step::STEP_CYCLE)
            return step.CycleCount;
    return 40;
}

QDataStream& operator<<(QDataStream& s, const Flow& flow)
{
    // Four zero bytes ahead of the stages: kept for the files, read past without meaning.
    return s << qint32(0) << flow.steps;
}

QDataStream& operator>>(QDataStream& s, Flow& flow)
{
    qint32 reserved = 0;
    SafeStream::read(s, reserved);
    SafeStream::readList(s, flow.steps, StepBytes);
    return s;
}
