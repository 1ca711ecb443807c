#pragma once

#include "files/OutData.h"

// One used hole and channel, in the order results are listed: by sample, then by the sample's
// holes, then by channel. A hole number outside the chip has no row.
struct ResultRow
{
    int sample = 0;      // from 0
    QString sampleName;  // empty when none was entered
    int holeNumber = 0;  // from 1
    int channel = 0;
    int curveIndex = 0;
};

QVector<ResultRow> resultRows(const OutData& data);
