#include "method/MeltRange.h"

#include <QtGlobal>
#include <cmath>

namespace {
// Past this a melt has more readings than any chip run could hold; treat it as no melt.
constexpr qint64 MaxMeltPoints = 100000;
}

int truncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    return int(qBound(-1.0e9, std::trunc(value), 1.0e9));
}

MeltRange::MeltRange(const Step& step)
{
    if (step.StepType != Step::STEP_MELT || step.CycleCount != 0 || step.NodeList.size() != 2)
        return;
    const double a = step.NodeList.at(0).Temp;
    const double b = step.NodeList.at(1).Temp;
    const int lo = truncToInt(qMin(a, b));
    const int hi = truncToInt(qMax(a, b));
    const qint64 points = 2 * (qint64(hi) - lo) + 1;
    if (points > MaxMeltPoints)
        return;
    mValid = true;
    mLo = lo;
    mPoints = int(points);
}
