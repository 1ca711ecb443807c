#pragma once

#include "files/OutData.h"

// One automatic threshold for every curve of a channel on the plate. A threshold just above the
// noise is crossed where a curve's own noise and baseline still move the Ct; one placed high in
// the log-linear phase of the positives is crossed where replicates agree. So it sits at a
// fraction of the positives' median plateau, stays below half the weakest clear positive's
// plateau (so no clear amplification is left without a Ct) and never drops under ten times the
// baseline noise pooled over the flat windows.
namespace PlateThreshold {

// Share of the positives' median plateau where the threshold sits.
constexpr double PlateauShare = 0.2;
// Multiples of the pooled baseline SD: the least threshold, and the least plateau of a positive
// that counts as clear amplification.
constexpr double NoiseFloor = 10;
constexpr double ClearPositive = 20;
// A window whose noise is more than this many times the channel's median is not flat: it is left
// out of the pooled noise.
constexpr double FlatShare = 3;

// corrected: the baseline-corrected curves of the channel; windows: each curve's baseline window
// as used; rising: the curves whose plateau rises above their border. 4 (the per-curve fallback)
// when there is no baseline to measure.
double of(const QVector<Curve>& corrected, const QVector<TargetInfo>& windows, const QVector<bool>& rising);

}
