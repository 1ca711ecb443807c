#pragma once

#include "files/OutData.h"
#include "instrument/ConnectData.h"

// Turns a module's reports into the curves an experiment stores: both heater temperatures over
// the elapsed seconds (only samples with both within 0 to 120 degC) and one fluorescence curve
// per curve index, x being the reading number (cycle readings, then melt readings).
class RunRecorder
{
public:
    explicit RunRecorder(int curveCount);

    void addReport(const ConnectData& data);
    // Fills the record's curves as the end-of-run save does.
    void fill(OutData& data) const;

private:
    QVector<Curve> mTempLines;
    QVector<Curve> mPdLines;
};
