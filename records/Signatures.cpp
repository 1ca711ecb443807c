#include "records/Signatures.h"

#include "records/RecordStore.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlQuery>
#include <QVariant>

Signatures::Signatures(RecordStore& store)
    : mStore(store)
{
}

QStringList Signatures::meanings()
{
    return {QStringLiteral("审核"), QStringLiteral("批准")};
}

QString Signatures::fileHash(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}

bool Signatures::add(Signature s)
{
    s.at = (s.at.isValid() ? s.at : QDateTime::currentDateTimeUtc()).toUTC();
    return mStore.writeExclusively("signatures", [&] {
        {
            QSqlQuery last(mStore.db());
            if (!last.exec("SELECT MAX(id) FROM signatures"))
                return false;
            s.id = last.next() ? last.value(0).toLongLong() + 1 : 1;
        }
        return mStore.insert("signatures", {"id", "experiment", "user_name", "full_name", "meaning", "at", "file_hash", "voided"},
                             {s.id, s.experiment, s.user, s.fullName, s.meaning, s.at.toString(Qt::ISODateWithMs), s.fileHash, QString()});
    });
}

bool Signatures::isLocked(const QString& experiment) const
{
    bool ok = false;
    const bool signedOnes = !of(experiment, false, &ok).isEmpty();
    return signedOnes || !ok;
}

QVector<Signature> Signatures::of(const QString& experiment, bool withVoided, bool* ok) const
{
    QSqlQuery query(mStore.db());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT id, experiment, user_name, full_name, meaning, at, file_hash, voided "
                                 "FROM signatures WHERE experiment = ?%1 ORDER BY id")
                      .arg(withVoided ? "" : " AND voided = ''"));
    query.addBindValue(experiment);
    QVector<Signature> list;
    const bool answered = query.exec();
    if (ok)
        *ok = answered;
    if (!answered)
        return list;
    while (query.next()) {
        Signature s;
        s.id = query.value(0).toLongLong();
        s.experiment = query.value(1).toString();
        s.user = query.value(2).toString();
        s.fullName = query.value(3).toString();
        s.meaning = query.value(4).toString();
        s.at = QDateTime::fromString(query.value(5).toString(), Qt::ISODateWithMs);
        s.fileHash = query.value(6).toString();
        s.voided = query.value(7).toString();
        list.append(s);
    }
    return list;
}

QSet<QString> Signatures::locked() const
{
    QSqlQuery query(mStore.db());
    query.setForwardOnly(true);
    QSet<QString> names;
    if (query.exec("SELECT DISTINCT experiment FROM signatures WHERE voided = ''"))
        while (query.next())
            names.insert(query.value(0).toString());
    return names;
}

bool Signatures::voidAll(const QString& experiment, const QString& reason)
{
    QSqlQuery query(mStore.db());
    query.prepare("UPDATE signatures SET voided = ? WHERE experiment = ? AND voided = ''");
    query.addBindValue(reason.isEmpty() ? QStringLiteral("-") : reason);
    query.addBindValue(experiment);
    return query.exec();
}

bool Signatures::rename(const QString& from, const QString& to)
{
    QSqlQuery query(mStore.db());
    query.prepare("UPDATE signatures SET experiment = ? WHERE experiment = ?");
    query.addBindValue(to);
    query.addBindValue(from);
    return query.exec();
}
