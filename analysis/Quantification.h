#pragma once

#include "analysis/ResultRows.h"
#include "analysis/RunValidity.h"
#include "analysis/StandardCurve.h"

#include <QString>
#include <QStringList>
#include <QVector>

class OutData;
class TempData;

// A standard read back off its own curve: how far the curve puts it from what was typed.
struct StandardCheck
{
    double quantity = qQNaN();       // as typed
    double backCalculated = qQNaN(); // off the curve at the well's Ct; NaN without a Ct or a curve
    double error = qQNaN();          // percent of the typed quantity
};

// A standard curve of one target and channel, with the wells it was fitted from.
struct QuantCurve
{
    QString target;
    int channel = 0;
    QString unit;
    StandardCurve fit;
    QVector<QPointF> points;   // used: x = log10(quantity), y = Ct
    QVector<QPointF> excludedPoints;
    QVector<int> excluded;     // running numbers of the standards left out
    QVector<int> withoutCt;    // running numbers of the standards that have no Ct, so no point
    QVector<ResultRow> wells;  // every standard of the curve, with a Ct or not, in layout order
    QVector<StandardCheck> checks; // one per well

    // Where a quantity sits on the curve's x axis: log10 of it, but of its reciprocal for a
    // dilution ("dil" 100 is 1:100, a hundredth of the template).
    static double axisOf(double quantity, const QString& unit);
    // The quantity read off the curve at ct, in the curve's unit; NaN without a curve.
    double quantityAt(double ct) const;
};

// A sample's quantity for one target: per positive hole from the standard curve, then their mean
// and sample SD. NaN where there is none.
struct QuantSample
{
    int sample = 0;
    QString name;
    QString type;
    QString target;
    int channel = 0;
    QVector<int> holes;
    double quantity = qQNaN();
    double quantitySd = qQNaN();
    QString unit;
    QString call;
    QStringList flags;
    int replicatesUsed = 0; // the holes the quantity comes from...
    int replicates = 0;     // ...of the sample's holes of the target
};

// A sample's fold change for one target against the calibrator, normalised by the references'
// geometric mean. method "efficiency" uses each target's efficiency (typed, or from its standard
// curve); "ddcq" takes perfect doubling.
struct RelativeResult
{
    QString sample;
    QString target;
    QString calibrator;
    QStringList references;
    QString method;
    double fold = 0;
    double foldLow = 0; // the range and SD: NaN where a sample or reference has one replicate
    double foldHigh = 0;
    double sd = 0;
    bool invalid = false; // the sample's calls are invalid (its controls failed)
    QString missing;      // why there is no fold change ("样本无Ct"); empty when there is one
};

struct QuantResult
{
    RunValidity run;
    QVector<QuantCurve> curves;
    QVector<QuantSample> samples;
    QVector<RelativeResult> relative;
    QString relativeNote; // why there are no fold changes though a calibrator is chosen
};

namespace Quantification {

// A sample's Ct for one target over its positive replicates.
struct CtStats
{
    double mean = 0;
    double sd = 0; // sample SD; 0 with one replicate
    int n = 0;
};

// The fold change of a target in a sample against the calibrator, normalised by the geometric mean
// of the references' relative quantities, with each amplification factor (1 + E, 2 for perfect
// doubling). The SD propagates each sample Ct SD as SD_RQ = SD_Ct * RQ * ln(factor), combined
// in quadrature. False when a Ct or factor is missing.
bool foldChange(const CtStats& target, const CtStats& calibratorTarget, double factor, const QVector<CtStats>& references,
                const QVector<CtStats>& calibratorReferences, const QVector<double>& referenceFactors, RelativeResult& out);

// One hole's quantity: a standard's as typed, an unknown's read off its target's standard curve;
// NaN otherwise. unit is set with it.
double holeQuantity(const OutData& data, const QuantResult& q, int sample, const QString& target, int channel, double ct, QString& unit);

// Where the unknowns of a curve's target and channel lie on its line: x = log10(quantity), y the
// line's Ct at it. An invalid sample's quantity is no result and is left out.
QVector<QPointF> unknownsOn(const QuantResult& q, const QuantCurve& c);

// calibrator and references, when given, stand for the record's own choice.
QuantResult of(const OutData& data, const TempData& results, const QString& calibrator = QString(),
               const QStringList& references = QStringList());

}
