#pragma once

class OutData;
class TempData;

#include <QPointF>
#include <QStringList>
#include <QVector>

// Quality remarks on the curves of an analysed experiment, as short English keys. The limits were
// set on the simulated chip and on synthetic dilution series at this instrument's signal levels;
// the README lists them.
namespace QcFlags {

// Still rising steeply at the last reading: the mean rise of the last two readings is at least this
// share of the height the corrected curve has reached.
constexpr double NoPlateauShare = 0.3;
// Or its last three rises each larger than the one before, the last at least this share of the height.
constexpr double NoPlateauGrowthShare = 0.1;
// The baseline's SD around its line above this share of the threshold: noise alone moves the
// crossing.
constexpr double NoisyBaselineShare = 0.1;
// The baseline's slope above this share of its level, per reading.
constexpr double DriftShare = 0.01;
// A Ct beyond this, or beyond the target's Ct cut-off when it has one.
constexpr double LateCt = 35;
// A Ct this far from the median of its sample's replicates (three or more with a Ct).
constexpr double OutlierCycles = 1;
// A melt peak at least this share of the largest and at least this far from a higher one.
constexpr double SecondPeakShare = 0.2;
constexpr double SecondPeakDistance = 2;
// A Tm this far from the median Tm of the target's positives.
constexpr double TmShift = 1.5;

// The temperatures of the distinct peaks of a melt peak curve (0.01 degC apart), highest first.
QVector<double> meltPeaks(const QVector<QPointF>& peakCurve);
// A flag's short name as the operator reads it ("未达平台"), and a list of them joined with "、";
// the English keys stay for scripts (JSON, CSV).
QString name(const QString& flag);
QString names(const QStringList& flags);
// What a flag means, as the operator reads it.
QString describe(const QString& flag);
// Every flag of a list with its meaning, a line each (a tooltip).
QString describeAll(const QStringList& flags);
// Fills the results' flags and melt peaks.
void mark(const OutData& data, TempData& results);

}
