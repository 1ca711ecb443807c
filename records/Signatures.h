#pragma once

#include "records/ExperimentRef.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

class RecordStore;

// One electronic signature of an experiment's results: who, when, what it means, and the file
// exactly as it was signed. Each is an entry of the audit trail; its row here is the index the
// program asks, and holds only while it says what its entry says.
struct Signature
{
    qint64 id = 0;
    QString experiment;   // the experiment's name now
    QString experimentId; // its own id; empty for one signed before files kept ids
    QString user;
    QString fullName;
    QString meaning;      // 审核 or 批准
    QDateTime at;         // UTC, the entry's time
    QString fileHash;     // SHA-256 of the experiment file, hex
    QString voided;       // why an administrator's unlock voided it; empty while it holds
    qint64 entry = 0;     // its entry in the trail
    qint64 voidEntry = 0; // the unlock's entry
};

// The signatures of the store. An experiment with a signature that holds is locked.
class Signatures
{
public:
    explicit Signatures(RecordStore& store);

    static QStringList meanings();
    // Hex SHA-256 of a file's bytes; empty when it cannot be read.
    static QString fileHash(const QString& path);
    // What a signature's entry says of it: meaning, file hash and full name.
    static QString entryText(const Signature& s);

    // Both inside the caller's transaction on the trail, right after the entry they point at.
    bool addLocked(Signature& signature);
    bool voidLocked(const ExperimentRef& experiment, const QString& reason, qint64 entry);

    struct State
    {
        QVector<Signature> holding; // oldest first
        QVector<Signature> voided;
        // Rows that differ from their entries, and signature entries without a row: the
        // experiment stays locked and the window and report say so in red.
        QStringList misfits;
        bool answered = false;
    };
    State of(const ExperimentRef& experiment) const;
    // Locked also when the store cannot say: a signed record is never opened by a lost connection.
    bool isLocked(const ExperimentRef& experiment) const;
    // The names of every experiment with a signature that holds, in one question to the store.
    QSet<QString> locked() const;
    // The signatures follow their experiment to its new name.
    bool rename(const QString& from, const QString& to);
    // The first row that differs from its entry or entry without a row, as a person reads it;
    // empty when each fits.
    QString verify() const;

private:
    QVector<Signature> rows(const QString& where, const QStringList& values, QStringList& misfits, bool* ok) const;

    RecordStore& mStore;
};
