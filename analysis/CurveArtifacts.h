#pragma once

#include <QPointF>
#include <QVector>

// Readings that the chip, not the reaction, put into a curve: a spike (one or two readings far off, an
// electrical disturbance) and a jump (a one-cycle step after which the curve goes on along the
// same line: a bubble leaving, the lid settling). The analysis works on the curve with both taken
// out; the stored readings stay as measured. Limits are relative to the curve's own noise, so they
// hold at any scale.
namespace CurveArtifacts {

struct Found
{
    QVector<QPointF> repaired; // spiked readings replaced by their neighbours' prediction, readings after a jump shifted back
    QVector<int> spikes;       // indices of the spiked readings (a spike is one reading or two in a row)
    QVector<int> jumps;        // indices of the first reading after each jump
};

// A curve with a reading that is no number, or of fewer than eight readings, is left as it is.
Found find(const QVector<QPointF>& curve);

}
