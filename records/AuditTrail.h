#pragma once

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
    QString oldValue;
    QString newValue;
    QString reason;
    QString prevHash;
    QString hash;

    QJsonObject toJson() const;
};

// The append-only trail. Each entry carries the SHA-256 of the one before it and of its own
// content, so an entry changed or removed afterwards breaks the chain at that place.
class AuditTrail
{
public:
    static constexpr int MaxListed = 100000;

    explicit AuditTrail(RecordStore& store);

    // Numbers, times and chains the entry; false with the store's fault when it was not written.
    bool append(AuditEntry entry);
    // Oldest first; objectType and objectName narrow it when given. At most MaxListed entries.
    QVector<AuditEntry> list(const QString& objectType = QString(), const QString& objectName = QString()) const;

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
    RecordStore& mStore;
};
