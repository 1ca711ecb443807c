#pragma once

#include "files/OutData.h"
#include "instrument/ConnectData.h"
#include "method/InData.h"

#include <QElapsedTimer>

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

    // From now on the record is kept on disk as the experiment's recovery copy: at once, after
    // every fluorescence reading and at least every intervalMs while temperatures come in.
    void keepRecoveryCopy(const InData& input, const QString& experimentPath, int intervalMs = 10000);
    // The run's file is saved, or the operator gave its data up: the copy goes.
    void dropRecoveryCopy();

private:
    void writeRecoveryCopy();

    QVector<Curve> mTempLines;
    QVector<Curve> mPdLines;
    InData mInput;
    QString mExperimentPath;
    int mCopyIntervalMs = 0;
    QElapsedTimer mSinceCopy;
};
