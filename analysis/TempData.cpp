#include "analysis/TempData.h"

#include <cmath>

TempData::TempData(const OutData& d)
{
    const SMethod& m = d.inData.method;
    // A record beyond the limits is damaged: nothing of it is analysed.
    const int count = d.withinLimits() ? m.Hole * m.ChannelColor : 0;
    targets.resize(count);
    cycleLines.resize(count);
    originMeltLines.resize(count);
    relativeLines.resize(count);
    newMeltLines.resize(count);
    ctValues.fill(0, count);
    positives.fill(false, count);
    tmValues.fill(0, count);
    const bool melt = m.hasMeltStep();

    for (int s = 0; s < count; ++s) {
        TargetInfo& t = targets[s];
        t = d.targetOf(s);
        cycleLines[s] = d.getCycleLine(s);
        if (melt) {
            originMeltLines[s] = d.getOriginMeltLine(s);
            newMeltLines[s] = d.getNewMeltLine(s);
            tmValues[s] = d.getTmPointF(s, newMeltLines[s]).x();
        }
        positives[s] = d.getCalResult(s, t, relativeLines[s]);
        t.Threshold = d.getThresholdValue(s, t);
        ctValues[s] = d.getCtValue(s, positives[s], relativeLines[s], t);
        if (positives[s] && ctValues[s] != 0) {
            // Confirm the call on the corrected curve after the Ct; withdrawn calls lose their Ct.
            const int firstCycle = int(qBound(-1.0e9, std::ceil(ctValues[s]), 1.0e9));
            positives[s] = d.getRelativePositive(relativeLines[s], t, firstCycle);
            if (!positives[s]) {
                ctValues[s] = 0;
                relativeLines[s] = d.getRelativeLine(s, false, t);
            }
        }
        const bool hasCt = ctValues[s] != 0;
        positives[s] = positives[s] && hasCt && (t.CtThreshold == 0 || ctValues[s] < t.CtThreshold);
    }
}
