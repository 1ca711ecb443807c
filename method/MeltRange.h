#pragma once

#include "method/Step.h"

// The readings of a melt stage: from lo to hi (both truncated to whole degrees) every 0.5 degree,
// always upward whichever node is warmer. Only a stage with CycleCount 0 and exactly two nodes
// is a melt; any other shape yields no readings.
class MeltRange
{
public:
    explicit MeltRange(const Step& step);

    bool isValid() const { return mValid; }
    int lo() const { return mLo; }
    int points() const { return mPoints; }
    double temperature(int k) const { return mLo + 0.5 * k; }

private:
    bool mValid = false;
    int mLo = 0;
    int mPoints = 0;
};

// Truncation toward zero that stays defined for any double (NaN gives 0, far values clamp).
int truncToInt(double value);
