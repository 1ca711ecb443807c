#pragma once

#include "method/RunControls.h"

#include <QDateTime>
#include <QMap>
#include <QPointF>
#include <QSet>
#include <QStringList>
#include <QVector>

class QXmlStreamReader;

// An RDML file (1.1 to 1.3) as far as a review needs it: targets with their dyes, samples, and the
// runs with their reactions' raw amplification and melt points. Reads the zipped archive
// (.rdml, .rdm) or plain XML, with or without namespace prefixes. The file is untrusted: the
// archive part, the document, every count and every number has a bound, and whatever lies
// beyond one refuses the file with a reason.
class RdmlReader
{
public:
    struct Data
    {
        QString target;
        QString note;
        QVector<QPointF> adp; // cycle, fluorescence
        QVector<QPointF> mdp; // temperature, fluorescence
    };
    struct React
    {
        int id = 0;
        QString sample;
        QVector<Data> data;
    };
    // One step of a thermal programme: a hold, or a loop back to an earlier step.
    struct ProgrammeStep
    {
        int nr = 0;
        bool loop = false;
        double temperature = 0; // a hold's
        int duration = 0;       // a hold's, seconds
        QString measure;        // a hold's: "real time", "meltcurve" or empty
        int to = 0;             // a loop's: the step it goes back to...
        int repeat = 0;         // ...and how often
    };
    struct Run
    {
        QString experiment;
        QString id;
        QString description;
        QDateTime date;
        int columns = 12; // of the plate, for well names (A1 is reaction 1, B1 is reaction columns + 1)
        QString programme; // the id of its thermal programme
        QString instrument;
        QVector<React> reacts;
        QString name() const { return experiment + '/' + id; }
    };

    // Limits of what is read at all; a review needs far less.
    static constexpr qint64 MaxBytes = 64 * 1024 * 1024;
    static constexpr int MaxRuns = 100;
    static constexpr int MaxReacts = 2000;
    static constexpr int MaxDataPerReact = 16;
    static constexpr int MaxIdLength = 500;
    // RDML nests six levels deep; a document nested deeper is no run's data.
    static constexpr int MaxDepth = 64;
    static constexpr int MaxProgrammeSteps = 1000;

    bool read(const QString& path);
    bool readXml(const QByteArray& xml);
    QString error() const { return mError; }

    const QVector<Run>& runs() const { return mRuns; }
    QString dyeOf(const QString& target) const { return mTargetDyes.value(target, target); }
    QString targetType(const QString& target) const { return mTargetTypes.value(target); }
    // The target's amplification factor (1 + E) as the file gives it; 0 where it gives none.
    double targetFactor(const QString& target) const { return mTargetFactors.value(target); }
    QString sampleDescription(const QString& sample) const { return mSampleDescriptions.value(sample); }
    // Its type, and a standard's quantity, for every target the file does not type it for on its
    // own; an unknown where the file says nothing.
    SampleType sampleType(const QString& sample) const { return mSampleTypes.value(sample); }
    // target id -> the sample's type for that target, where it differs from sampleType().
    QMap<QString, SampleType> sampleTargetTypes(const QString& sample) const { return mSampleTargetTypes.value(sample); }
    // A thermal programme's steps in their order; empty for an id the file does not define.
    QVector<ProgrammeStep> programme(const QString& id) const { return mProgrammes.value(id); }

private:
    bool fail(const QString& why);
    bool withinDepth(const QByteArray& xml);
    // An id met a second time refuses the file: which of the two is meant cannot be told.
    bool once(QSet<QString>& seen, const QString& id, const QString& what);
    QString idOf(const QString& attribute = QStringLiteral("id"));
    QString text();
    bool number(double& out, double lo, double hi);
    void readTarget();
    void readSample();
    // False where the quantity is none this program takes (no value above 0, or an unknown unit).
    bool readQuantity(SampleType& type);
    bool readExperiment();
    bool readRun(Run& run);
    void readFormat(Run& run);
    void readProgramme();
    bool readProgrammeStep(ProgrammeStep& step);
    bool readReact(React& react);
    bool readData(Data& data);
    bool readPoint(QPointF& point, bool melt);

    QXmlStreamReader* mXml = nullptr;
    QString mError;
    QVector<Run> mRuns;
    QMap<QString, QString> mTargetDyes;
    QMap<QString, SampleType> mSampleTypes;
    QMap<QString, QMap<QString, SampleType>> mSampleTargetTypes;
    QMap<QString, QString> mTargetTypes;
    QMap<QString, double> mTargetFactors;
    QMap<QString, QString> mSampleDescriptions;
    QSet<QString> mTargets;
    QSet<QString> mSamples;
    QSet<QString> mRunNames;
    QMap<QString, QVector<ProgrammeStep>> mProgrammes;
};
