#pragma once

#include "method/Node.h"

#include <QVector>

// One stage of the temperature program.
struct Step
{
    // Every stored value is a valid one: a file from a newer program may carry other types.
    enum STEP_TYPE : quint32 { STEP_CONSTANT = 0, STEP_CYCLE = 1, STEP_MELT = 2 };

    STEP_TYPE StepType = STEP_CONSTANT;
    int CycleCount = 0; // repeats of NodeList; 0 for a melt stage
    QVector<Node> NodeList;

    bool operator==(const Step& o) const
    {
        return StepType == o.StepType && CycleCount == o.CycleCount && NodeList == o.NodeList;
    }
};

QDataStream& operator<<(QDataStream& s, const Step& step);
QDataStream& operator>>(QDataStream& s, Step& step);
