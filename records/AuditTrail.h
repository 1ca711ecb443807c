#pragma once

#include "records/ExperimentRef.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QVector>

class RecordStore;

// One thing someone did. objectType is "experiment", "method", "setting", "user" or "session".
struct AuditEntry
{
    qint64 id = 0;
    QDateTime at; // UTC, to the millisecond
    QString user;
    QString machine;
    QString action;
    QString objectType;
    QString objectName;
    QString objectId; // an experiment's own id, which its file keeps; empty for older entries
    QDateTime doneAt; // for an entry recorded late (kept while the store was away): when it was done
    QString oldValue;
    QString newValue;
    QString reason;
    QString prevHash;
    QString hash;

    QJsonObject toJson() const;
    // Read back from toJson(); id, hashes and time are the trail's to give.
    static AuditEntry fromJson(const QJsonObject& o);
};

// The append-only trail. Each entry carries the SHA-256 of the one before it and of its own
// content, so an entry changed or removed afterwards breaks the chain at that place.
class AuditTrail
{
public:
    // What a list gives unless asked for more.
    static constexpr int MaxListed = 100000;

    explicit AuditTrail(RecordStore& store);

    // Numbers, times and chains the entry; false with the store's fault when it was not written.
    // written (when given) receives the entry as stored.
    bool append(AuditEntry entry, AuditEntry* written = nullptr);
    // The same inside a transaction the caller holds on the trail, so that what else it writes
    // there (a signature's row) stands or falls with the entry.
    bool appendLocked(AuditEntry& entry);
    // Oldest first; objectType and objectName narrow it when given. limit entries from the
    // offset-th on; every one with limit -1.
    QVector<AuditEntry> list(const QString& objectType = QString(), const QString& objectName = QString(),
                             qint64 limit = MaxListed, qint64 offset = 0) const;
    // An experiment's entries by its id, with those under its name from before it had one.
    QVector<AuditEntry> ofExperiment(const ExperimentRef& experiment) const;
    bool entry(qint64 id, AuditEntry& out) const;

    // The newest entry's number and hash; both empty on an empty trail. Kept in saved experiments
    // and reports, it shows later whether entries after it were removed.
    struct Head
    {
        qint64 id = 0;
        QString hash;
    };
    Head head() const;

    struct Check
    {
        qint64 entries = 0;
        qint64 brokenAt = 0; // the first entry that does not fit the chain; 0 when it holds
        QString why;
        // The newest entry's hash: noted elsewhere, it shows later whether the newest entries
        // were removed, which the chain alone cannot.
        QString lastHash;
    };
    Check verify() const;

    // The hash an entry must carry, from its content and the previous entry's hash.
    static QString hashOf(const AuditEntry& entry);
    static QString firstPrevHash() { return QString(64, QLatin1Char('0')); }

private:
    QVector<AuditEntry> select(const QString& where, const QStringList& values, qint64 limit, qint64 offset) const;

    RecordStore& mStore;
};
