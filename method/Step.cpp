#include "method/Step.h"

#include "method/SafeStream.h"

namespace {
constexpr qint64 NodeBytes = 4 + 8 + 1;
}

QDataStream& operator<<(QDataStream& s, const Step& step)
{
    return s << quint32(step.StepType) << qint32(step.CycleCount) << step.NodeList;
}

QDataStream& operator>>(QDataStream& s, Step& step)
{
    quint32 type = 0;
    SafeStream::read(s, type);
    // Unknown types are kept: they expand to nothing, as a newer program may have meant.
    step.StepType = Step::STEP_TYPE(type);
    SafeStream::read(s, step.CycleCount);
    SafeStream::readList(s, step.NodeList, NodeBytes);
    return s;
}
