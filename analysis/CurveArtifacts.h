#pragma once

#include <QPointF>
#include <QVector>

// Readings that the chip, not the reaction, put into a curve: a spike (one reading far off, an
// electrical disturbance) and a jump (a one-cycle step after which the curve goes on along the
// same line: a bubble leaving, the lid settling). The analysis works on the curve with both taken
// out; the stored readings stay as measured. Limits are relative to the curve's own noise, so they
// hold at any scale.
namespace CurveArtifacts {

// A spike leaves the reading its neighbours predict by this many noise SDs, and by more than a
// quarter of the difference between its two neighbours (they agree with each other: a smooth
// rise, even an amplification's, stays far closer to its prediction).
constexpr double SpikeBand = 12;
constexpr double SpikeOverNeighbours = 4;
// A jump leaves the line of the neighbouring rises (two before, two after) by this many noise SDs,
// and by this many times their largest departure from that line: an amplification's rises grow or
// shrink from reading to reading, a step on a line stands alone.
constexpr double JumpBand = 10;
constexpr double JumpOverNeighbours = 4;

struct Found
{
    QVector<QPointF> repaired; // spikes replaced by their neighbours' prediction, readings after a jump shifted back
    QVector<int> spikes;       // indices of the spiked readings
    QVector<int> jumps;        // indices of the first reading after each jump
};

// A curve with a reading that is no number, or of fewer than eight readings, is left as it is.
Found find(const QVector<QPointF>& curve);

}
