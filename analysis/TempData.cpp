#include "analysis/TempData.h"

#include "analysis/CurveWindow.h"
#include "analysis/PlateThreshold.h"
#include "analysis/QcFlags.h"
#include "analysis/ResultRows.h"

#include <cmath>

namespace {
// Curves with a plate-wide threshold share it per channel, among the holes the layout uses.
void applyPlateThresholds(const OutData& d, TempData& r)
{
    const int channels = d.inData.method.ChannelColor;
    const QVector<ResultRow> rows = resultRows(d);
    for (int c = 0; c < channels; ++c) {
        QVector<int> members;
        for (const ResultRow& row : rows)
            if (row.channel == c && row.curveIndex < r.targets.size() && r.targets[row.curveIndex].AutoThreshold == 2)
                members.append(row.curveIndex);
        if (members.isEmpty())
            continue;
        QVector<Curve> corrected;
        QVector<TargetInfo> windows;
        QVector<bool> rising;
        for (int s : members) {
            // A curve with a reading that is no number never moves the channel's threshold.
            if (!CurveWindow::allFinite(r.cycleLines[s]))
                continue;
            corrected.append(r.relativeLines[s]);
            windows.append(r.targets[s]);
            rising.append(r.positives[s]);
        }
        const double threshold = PlateThreshold::of(corrected, windows, rising);
        for (int s : members)
            r.targets[s].Threshold = threshold;
    }
}
}

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
    windowKinds.fill(OutData::WindowKind::Fixed, count);
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
        positives[s] = d.getCalResult(s, t, relativeLines[s], &windowKinds[s]);
        if (t.AutoThreshold != 2)
            t.Threshold = d.getThresholdValue(s, t);
        if (!CurveWindow::allFinite(cycleLines[s])) {
            // A reading that is no number (another program's export, a damaged file): the curve
            // is shown by its numbers and called nothing; its flag says why.
            positives[s] = false;
            Curve shown;
            for (const QPointF& p : d.negativeLine(cycleLines[s]))
                if (std::isfinite(p.x()) && std::isfinite(p.y()))
                    shown.append(p);
            relativeLines[s] = shown;
        }
        if (!std::isfinite(t.Threshold))
            t.Threshold = 4.0;
    }
    // A plate-wide threshold needs every curve of its channel corrected first.
    applyPlateThresholds(d, *this);

    for (int s = 0; s < count; ++s) {
        const TargetInfo& t = targets[s];
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
    QcFlags::mark(d, *this);
}
