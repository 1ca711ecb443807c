#pragma once

#include "files/OutData.h"

// One used hole and channel, in the order results are listed: by sample, then by the sample's
// holes, then by channel. A hole number outside the chip has no row. A hole listed twice keeps the
// running number of its first listing.
struct ResultRow
{
    int sample = 0;      // from 0
    QString sampleName;  // empty when none was entered
    int holeNumber = 0;  // the hole's position on the chip, from 1
    int number = 0;      // the running number a person reads ("孔位"): 1, 2, ... in layout order
    int channel = 0;
    int curveIndex = 0;
};

QVector<ResultRow> resultRows(const OutData& data);
