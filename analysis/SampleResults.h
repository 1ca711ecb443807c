#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

class OutData;
class TempData;

// What a lab reads: per sample and target (other than the internal control), its replicates and
// one call. The internal control is the channel whose target is named "内参": a sample without a
// positive replicate is negative only when the control amplified in every one of its holes, and
// invalid (to be tested again) when it failed in any. Without an internal control the call is
// positive or negative; a run that did not play to its end calls no sample negative. Unknowns and
// standards are invalid too when the run's controls fail its method's rules (see RunValidity).
struct SampleResult
{
    int sample = 0; // from 0
    QString name;
    QString target;
    int channel = 0;
    QVector<int> holes;     // running numbers ("孔位"), in layout order
    QVector<int> positions; // the same holes' positions on the chip ("位置")
    int positive = 0;
    int n = 0;
    double meanCt = 0; // of the positive replicates; 0 without any
    double sdCt = 0;   // sample SD of the positives' Ct; 0 with fewer than two
    QString call;
    QStringList flags; // every flag of the replicates, once; "control-failed" first for an invalid one
    QVector<int> failedControls; // running numbers of the sample's holes whose internal control failed
    QString type = QStringLiteral("unkn"); // the sample's type code
    QStringList runReasons;      // why the run's controls make this call invalid
};

namespace SampleResults {

QString internalControl();
QString invalid();
QVector<SampleResult> of(const OutData& data, const TempData& results);
// Whether curve s is an internal control that failed: it did not amplify in a run that played to
// its end.
bool controlFailed(const OutData& data, const TempData& results, int s);
// Hole numbers as a person reads them, runs of neighbours as ranges ("3-14,16").
QString holeList(const QVector<int>& holes);
// The columns of a samples table, and one result's cells as a person reads them: channel by its
// name, holes by running number, their positions last.
QStringList headers();
QStringList cells(const SampleResult& r, const QStringList& channelNames);

}
