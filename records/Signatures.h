#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QVector>

class RecordStore;

// One electronic signature of an experiment's results: who, when, what it means, and the file
// exactly as it was signed.
struct Signature
{
    qint64 id = 0;
    QString experiment; // the experiment's name (its file name without ".pcrd")
    QString user;
    QString fullName;
    QString meaning;    // 审核 or 批准
    QDateTime at;       // UTC
    QString fileHash;   // SHA-256 of the experiment file, hex
    QString voided;     // why an administrator's unlock voided it; empty while it holds
};

// The signatures of the store. An experiment with a signature that holds is locked.
class Signatures
{
public:
    explicit Signatures(RecordStore& store);

    static QStringList meanings();
    // Hex SHA-256 of a file's bytes; empty when it cannot be read.
    static QString fileHash(const QString& path);

    bool add(Signature signature);
    // Those that hold, oldest first; with voided ones too when asked. ok (when given) says
    // whether the store could answer.
    QVector<Signature> of(const QString& experiment, bool withVoided = false, bool* ok = nullptr) const;
    // Locked also when the store cannot say: a signed record is never opened by a lost connection.
    bool isLocked(const QString& experiment) const;
    // Every experiment with a signature that holds, in one question to the store.
    QSet<QString> locked() const;
    bool voidAll(const QString& experiment, const QString& reason);
    // The signatures follow their experiment to its new name.
    bool rename(const QString& from, const QString& to);

private:
    RecordStore& mStore;
};
