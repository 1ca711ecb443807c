#include "instrument/RunRecorder.h"

#include "files/RecoveryCopy.h"

#include <QDebug>

#include <cmath>

RunRecorder::RunRecorder(int curveCount) : mTempLines(2), mPdLines(qMax(curveCount, 0))
{
}

void RunRecorder::addReport(const ConnectData& data)
{
    if (data.dataType == ConnectData::TEMPERATURE) {
        const int elapsed = data.totalCount - data.residueCount;
        const bool inRange = data.upTemp >= 0 && data.upTemp <= 120 && data.downTemp >= 0 && data.downTemp <= 120;
        if (elapsed >= 0 && inRange) {
            mTempLines[0].append(QPointF(elapsed, data.upTemp));
            mTempLines[1].append(QPointF(elapsed, data.downTemp));
        }
        if (!mExperimentPath.isEmpty() && mSinceCopy.elapsed() >= mCopyIntervalMs)
            writeRecoveryCopy();
    } else if (data.dataType == ConnectData::HOLE_READING) {
        const double x = data.cycle + data.meltStep;
        // A curve keeps the readings it has: a position not read leaves its holes a reading short.
        for (int i = 0; i < mPdLines.size() && i < data.pdValues.size(); ++i)
            if (std::isfinite(data.pdValues[i]))
                mPdLines[i].append(QPointF(x, data.pdValues[i]));
        if (!mExperimentPath.isEmpty())
            writeRecoveryCopy();
    }
}

void RunRecorder::keepRecoveryCopy(const InData& input, const QString& experimentPath, int intervalMs)
{
    mInput = input;
    mExperimentPath = experimentPath;
    mCopyIntervalMs = intervalMs;
    writeRecoveryCopy();
}

void RunRecorder::dropRecoveryCopy()
{
    if (!mExperimentPath.isEmpty() && !RecoveryCopy::discard(mExperimentPath))
        qDebug() << "recovery copy of" << mExperimentPath << "could not be removed";
    mExperimentPath.clear();
}

void RunRecorder::writeRecoveryCopy()
{
    OutData record;
    record.inData = mInput;
    fill(record);
    if (!RecoveryCopy::write(record, mExperimentPath))
        qDebug() << "recovery copy of" << mExperimentPath << "could not be written";
    mSinceCopy.start();
}

void RunRecorder::fill(OutData& data) const
{
    data.reserved = 0.0;
    data.tempLines = mTempLines;
    data.pdLines = mPdLines;
}
