#pragma once

#include "method/ControlElement.h"
#include "method/Flow.h"
#include "method/RecordLimits.h"
#include "method/RunControls.h"
#include "method/TargetInfo.h"
#include "method/TargetInfos.h"

#include <QDataStream>
#include <QImage>
#include <QMap>
#include <QStack>
#include <QStringList>
#include <QVector>

// A test method: chip layout, channels, temperature program, targets per hole, ramp rates and
// the pre-run program.
struct SMethod
{
    QString Name;
    QString Id;
    QString Date;
    QString Valid;
    int SampleNumber = 0;
    int Hole = 0;
    int ChannelColor = 0;
    QStringList ChannelNames;
    double UpTime = 0.0;   // heating ramp, degrees C per second
    double DownTime = 0.0; // cooling ramp, degrees C per second
    ::Flow Flow;
    QString Explain;
    QMap<int, QVector<int>> sampleHoleMap; // sample index from 0 -> 1-based hole numbers
    QVector<TargetInfos> holeTargets;      // one per hole
    int ReDissolveCycle = 0;
    int ReDissolveTime = 0;
    double ReDissolveTempHigh = 0.0;
    double ReDissolveTempLow = 0.0;
    QImage image;
    int Version = 0;
    QVector<TargetInfo> targetList;
    QVector<QVector<int>> SampleHole;
    // The acceptance of each target's controls ("质控规则" in the method file); a record keeps it
    // in its trailing block, not in this stream form.
    QVector<ControlRule> controlRules;
    QVector<CurveAcceptance> acceptances; // targets whose standard curves a lab judges otherwise

    bool hasCycleStep() const;
    bool hasMeltStep() const;
    double minMeltTemp() const;
    // Number of melt readings: 2 x (hi - lo) + 1 for the first well-formed melt stage, else 0.
    int stepNumber() const;
    // The temperature of the first melt reading as the run list plays it (the lower bound
    // truncated to a whole degree); 0 without a well-formed melt stage.
    double firstMeltReadingTemp() const;
    // Fluorescence readings per curve of the whole run list (cycle and melt readings), counted
    // without building the list, so an absurd cycle count costs nothing.
    qint64 readingCount() const;

    // Sample, hole and channel counts, and the sizes of the lists that follow them, within the
    // record limits.
    bool countsInRange() const;
    // The curve index of hole number holeNumber (from 1) and channel, or -1 when either lies
    // outside this chip, so a hole number from a file can never index past the curves.
    int curveIndex(int holeNumber, int channel) const;
    // The running number a person reads of each used hole on the chip (position from 1 -> 1, 2,
    // ... in layout order); a hole listed twice keeps its first number.
    QMap<int, int> runningNumbers() const;

    // Run lists, first element played first.
    int getUdTime(double from, double to) const;
    QStack<ControlElement> getAllRunCmd() const;
    QStack<ControlElement> getUDCmd() const;
    QStack<ControlElement> getRunCmd() const;
    QStack<ControlElement> getStopCmd() const;
    QStack<ControlElement> getReSRunCmd() const;

    // The compressed copy with English keys; the result of the file write.
    bool saveMethodAsFile(const QString& path);

    // Fields of the stream form and the control rules (image, Version, targetList and SampleHole
    // are not compared).
    bool operator==(const SMethod& o) const;
};

QDataStream& operator<<(QDataStream& s, const SMethod& m);
QDataStream& operator>>(QDataStream& s, SMethod& m);
