#pragma once

#include "files/OutData.h"

#include <QStringList>

// The results of one experiment, per curve index: built in one go from the record and only read
// afterwards. Never stored; rebuilt whenever the settings or the data change. A record beyond the
// record limits yields no results.
class TempData
{
public:
    TempData() = default;
    explicit TempData(const OutData& data);

    QVector<TargetInfo> targets;       // the settings as used: window and threshold as computed
    QVector<Curve> cycleLines;         // raw amplification curves
    QVector<Curve> originMeltLines;    // melt curves (empty without a melt stage)
    QVector<Curve> relativeLines;      // baseline-corrected curves, or a negative's display form
    QVector<Curve> newMeltLines;       // melt peak curves
    QVector<double> ctValues;          // 0 = no Ct
    QVector<bool> positives;
    QVector<double> tmValues;          // 0 = none
    QVector<QStringList> flags;        // quality remarks (short English keys), see QcFlags
    QVector<OutData::WindowKind> windowKinds; // how each baseline window was chosen
    QVector<QVector<double>> meltPeaks; // every distinct melt peak's temperature, highest first
    QVector<Curve> artifacts;          // the readings the chip disturbed: spikes, and the first after each jump
};
