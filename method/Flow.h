#pragma once

#include "method/Step.h"

// The temperature program: stages in execution order.
struct Flow
{
    QVector<Step> steps;

    // Repeats of the first cycle stage, or 40 without one: where a curve's amplification
    // readings end and its melt readings begin.
    int getCycle() const;

    bool operator==(const Flow& o) const { return steps == o.steps; }
};

QDataStream& operator<<(QDataStream& s, const Flow& flow);
QDataStream& operator>>(QDataStream& s, Flow& flow);
