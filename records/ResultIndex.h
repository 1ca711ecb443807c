#pragma once

#include "analysis/ControlTrend.h"

#include <QDate>
#include <QString>
#include <QVector>

class OutData;
class RecordStore;

// Per experiment, each sample's type, targets, Ct, call and quantity as last saved, so that a
// control can be followed over runs and experiments found by what they hold without opening
// every file. The files stay the source: the index is rebuilt from them at will.
class ResultIndex
{
public:
    explicit ResultIndex(RecordStore& store) : mStore(store) {}

    // Replaces the experiment's rows with what the record holds now; the operator is who made it.
    bool update(const QString& experiment, const OutData& data, const QString& madeBy);
    bool forget(const QString& experiment);
    // The indexed experiments the store last saw in folder (by their saved path, or none), for a
    // rebuild to forget those whose files are gone.
    bool indexedIn(const QString& folder, QStringList& experiments);

    // Empty fields match anything; sample and operator match a part of the name, any case.
    struct Query
    {
        QString sample;
        QString target;
        QString call;
        QString madeBy;
        QDate from; // run dates, both ends included
        QDate to;
        int signedState = -1; // 1 signed, 0 not, -1 either
        int limit = 500;
    };
    struct Hit
    {
        QString experiment;
        QDateTime time;
        QString madeBy;
        bool isSigned = false; // set by RecordSession::findExperiments
    };
    // Newest first, the signed state only narrowed by the signatures table's names (whether each
    // is signed is RecordSession::findExperiments's to say, as a report checks it); false with
    // fault() when the store did not answer.
    bool search(const Query& query, QVector<Hit>& hits);
    // The sample and target pairs worth a trend: controls first (positive, then negative), then
    // the rest by name; at most limit of them.
    bool trendable(QVector<QPair<QString, QString>>& pairs, int limit = 500);
    // The Cts of a sample's target over every indexed run, oldest first, one a run (samples of
    // one name averaged); a run stopped before the sample could amplify is none.
    bool trend(const QString& sample, const QString& target, QVector<ControlTrend::Point>& points);
    QString fault() const { return mFault; }

private:
    RecordStore& mStore;
    QString mFault;
};
