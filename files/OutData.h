#pragma once

#include <optional>

#include "analysis/CurveArtifacts.h"
#include "method/InData.h"

#include <QPoint>
#include <QPointF>
#include <QPair>
#include <QVector>

namespace PCR {
// The version new experiment files carry; readers do not interpret it.
constexpr int g_fileVersionIsSavingVersion = 1;
}

using Curve = QVector<QPointF>;

// One experiment: inputs, the method as run, temperature traces and every fluorescence
// reading. Stored field by field as a .pcrd file; the analysis members turn the raw series into
// results (they never change the record).
class OutData
{
public:
    int version = PCR::g_fileVersionIsSavingVersion;
    double reserved = 0.0;
    InData inData;
    QVector<Curve> tempLines; // 0: upper heater, 1: lower heater; x = seconds, y = degrees C
    QVector<Curve> pdLines;   // per curve index (hole x channels + channel); x = reading number
    bool runComplete = false;
    // The experiment's own id, which the record store keys its signatures and history by; given
    // at its first audited save and kept through renames and copies. Empty in older files.
    QString recordId;
    // The id of the record store that keeps its history: another store (a new file in place of
    // the old, another server) may show it but not change it.
    QString storeId;
    // The audit trail's newest entry (number and hash) when the file was saved: an audit finds
    // entries removed after it. 0 when none was noted.
    qint64 trailEntry = 0;
    QString trailHash;
    // How far the run's clock was ahead of UTC, in seconds, set where a run is saved: the run's
    // time is kept as a local time, which another machine would read in its own zone. Empty in
    // older files and imports, which are read in the reading machine's zone.
    std::optional<int> runUtcOffset;
    // The zone of the run's time as this machine has it, unless the record already says one.
    void noteRunZone();
    // The run's time with its own zone where the file says it.
    QDateTime runTime() const;

    // Writes the whole record beside the file and then replaces it, so the old file survives
    // any failure. False when any byte could not be written.
    bool saveAsFilePath(const QString& path) const;
    // 0 on success, -1 when the file cannot be opened or its counts or curve lengths lie beyond
    // the record limits (the record is then untouched). A file cut short is read as far as it is
    // sound.
    int openAs(QString path);
    // Counts and curve lengths within the record limits, so that analysis and reports of this
    // record cost time and memory in proportion to a real chip.
    bool withinLimits() const;
    // Every reading and temperature a number: the stored form never holds NaN or infinity, so a
    // file that does is damaged.
    bool readingsFinite() const;
    // Reads the version alone; -1 when the file cannot be opened.
    int openAsVersion(QString path);

    bool operator==(const OutData& o) const;

    // Curve conditioning.
    // How many of a curve's first readings belong to the cycles.
    int cyclePoints(const Curve& raw) const;
    Curve getCycleLine(int index) const;
    // The cycle curve the analysis works on: spikes and jumps the chip put in taken out (see
    // CurveArtifacts); the cycle curve itself stays as measured.
    Curve getAnalysisLine(int index) const;
    // What was taken out of that curve, and where.
    CurveArtifacts::Found artifactsOf(int index) const;
    Curve firstDerivative(const Curve& curve) const;
    Curve secondDerivative(const Curve& curve) const;
    Curve thirdDerivative(const Curve& curve) const;
    Curve smooth(const Curve& curve, int limit) const;
    Curve absPointF(const Curve& curve) const;
    QPointF maxPointF(const Curve& curve, int from) const;
    QPointF minPointF(const Curve& curve, int from) const;
    QPoint getStartEndValue(int index, const TargetInfo& target) const;
    Curve baseLine(Curve curve, int start, int end) const;
    bool linear(const Curve& curve, double& slope, double& intercept) const;
    double getStdValue(const QVector<double>& values) const;
    Curve negativeLine(const Curve& curve) const;
    Curve cubicInterpolation(const Curve& curve) const;

    // Threshold, Ct and calls.
    // How a curve's baseline window was chosen: as set, by the automatic step, or relative to the
    // curve's own noise where the automatic step does not fit it.
    enum class WindowKind { Fixed, Auto, Adaptive };
    bool getCalResult(int index, TargetInfo& target, Curve& out, WindowKind* kind = nullptr) const;
    double getThresholdValue(int index, const TargetInfo& target) const;
    double getCtValue(int index, bool call, const Curve& curve, const TargetInfo& target) const;
    bool getPositive(int index, const TargetInfo& target) const;
    bool getRelativePositive(const Curve& curve, const TargetInfo& target, int firstCycle) const;
    Curve getRelativeLine(int index, bool baselineMode, const TargetInfo& target) const;
    void setTargetInfo(const TargetInfo& target, int index, bool withName);
    // The same settings (names kept) for every curve of one channel (index modulo the channel
    // count), or of every channel when channel is -1.
    void setTargetInfoForChannel(const TargetInfo& target, int channel);
    // Only the threshold (its mode and fixed value) of target, for every curve of one channel;
    // the other settings and the names stay.
    void setThresholdForChannel(const TargetInfo& target, int channel);
    // The target of a curve index from the method's per-hole targets.
    TargetInfo targetOf(int index) const;

    // Melt analysis.
    Curve getOriginMeltLine(int index) const;
    Curve getNewMeltLine(int index) const;
    QPointF getTmPointF(int index, const Curve& curve) const;

private:
    // Each curve index's analysis line with the cycle line it came from: the analysis asks for it
    // at every stage, and finding artifacts is its costliest part. A changed reading is a miss.
    mutable QVector<QPair<Curve, CurveArtifacts::Found>> mAnalysisLines;
};

QDataStream& operator<<(QDataStream& s, const OutData& d);
QDataStream& operator>>(QDataStream& s, OutData& d);
