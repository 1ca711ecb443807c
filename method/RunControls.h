#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// What a sample is in a run, in the vocabulary other qPCR tools exchange: unknown ("unkn"),
// no-template control ("ntc"), no-amplification control ("nac"), positive control ("pos"),
// negative extraction control ("ntp"), no-reverse-transcription control ("nrt"), optical
// calibrator ("opt", neither quantified nor a control) or standard ("std", with its quantity and
// unit).
struct SampleType
{
    QString type = QStringLiteral("unkn");
    double quantity = 0; // a standard's, as typed; 0 for every other type
    QString unit;        // "cop", "fold", "dil", "ng", "nMol" or "other"

    bool operator==(const SampleType& o) const { return type == o.type && quantity == o.quantity && unit == o.unit; }
};

// How one target's controls must come out for a run to be valid. A limit of 0 is no limit.
struct ControlRule
{
    QString target;
    bool checkNtc = false; // whether negative controls must not amplify this target
    double ntcMaxCt = 0;   // if so, a Ct above this is still accepted; 0: no Ct at all
    double posCtLow = 0;  // a positive control's Ct within [low, high]
    double posCtHigh = 0;
    double icCtLow = 0;   // the internal control's Ct within [low, high], in every sample's holes
    double icCtHigh = 0;

    bool operator==(const ControlRule& o) const;
};

// What a lab accepts of one target's standard curve before it reports quantities read off it.
struct CurveAcceptance
{
    QString target;
    double efficiencyLow = 0.90; // fractions, as the curve's efficiency is kept
    double efficiencyHigh = 1.10;
    double r2Low = 0.98;

    bool operator==(const CurveAcceptance& o) const
    {
        return target == o.target && efficiencyLow == o.efficiencyLow && efficiencyHigh == o.efficiencyHigh && r2Low == o.r2Low;
    }
    bool isDefault() const { return *this == CurveAcceptance{target}; }
    // Within what any lab would still call acceptance: efficiency from 50–100 % up to 100–150 %,
    // R² at least 0.8; wider limits would accept curves no quantity can be read from.
    static bool sound(const CurveAcceptance& c)
    {
        return !c.target.isEmpty() && c.efficiencyLow >= 0.5 && c.efficiencyLow <= 1 && c.efficiencyHigh >= 1 && c.efficiencyHigh <= 1.5
            && c.r2Low >= 0.8 && c.r2Low <= 1;
    }
};

// The run controls of a record beyond what the stored record's fixed fields hold: sample types,
// standards left out of the curve, and the choices of relative quantification.
struct RunSetup
{
    QVector<SampleType> sampleTypes;   // per sample; missing ones are unknowns
    // sample -> target -> its type for that target where it is not the sample's own: RDML types a
    // sample per target (a standard of one target is an unknown of another).
    QMap<int, QMap<QString, SampleType>> targetTypes;
    QMap<int, QString> excludedWells;  // curve index -> why it is left out of its standard curve
    QString calibrator;                // sample name
    QStringList references;            // reference target names
    QMap<QString, double> efficiencies; // typed per target, as a fraction (0.97)
    // An imported file's own per target: used where neither a person typed one nor the run has a
    // standard curve a lab would accept.
    QMap<QString, double> fileEfficiencies;

    bool operator==(const RunSetup& o) const;
    bool isEmpty() const { return *this == RunSetup(); }
    // What a sample is for one target: its own type unless the target has one of its own.
    SampleType typeOf(int sample, const QString& target) const;
};

namespace RunControls {

QStringList typeCodes();
// A standard's quantity as one can be: from 1e-12 to 1e15.
bool soundQuantity(double quantity);
QStringList unitCodes();
// The Chinese name a person reads ("标准品"), or the code itself when it is none of ours.
QString typeName(const QString& code);
// A unit as a person reads it ("拷贝" for cop); the code stays in files and scripts' output.
QString unitName(const QString& code);
QString typeCode(const QString& name);

// Types from a list a person types, one per sample in order: "unkn", "ntc", "pos", ... or
// "std:QUANTITY:UNIT" ("std:1e5:cop"); samples past the list are unknowns. False with a reason.
bool parseTypes(const QString& list, int samples, QVector<SampleType>& out, QString& error);

QJsonArray acceptancesToJson(const QVector<CurveAcceptance>& list);
// Entries that are not sound are dropped (and logged): the usual acceptance applies to their targets.
QVector<CurveAcceptance> acceptancesFromJson(const QJsonArray& array);
QJsonArray rulesToJson(const QVector<ControlRule>& rules);
// Rules with a target name and Ct limits within 0 to 100 (low no higher than high); others are
// dropped.
QVector<ControlRule> rulesFromJson(const QJsonArray& array);

QJsonObject setupToJson(const RunSetup& setup);
// Only what is sound: known types, standards' quantities finite and above 0 (up to 1e15),
// exclusions of curve indexes below maxCurves, at most maxSamples types (and at most maxCurves
// types of a sample for one target).
RunSetup setupFromJson(const QJsonObject& o, int maxSamples, int maxCurves);

}
