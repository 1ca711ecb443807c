#include "records/Signatures.h"

#include "records/RecordStore.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString Signed = QStringLiteral("签名");
const QString Unlocked = QStringLiteral("解锁");

const char* const Select =
    "SELECT s.id, s.experiment, s.experiment_id, s.user_name, s.full_name, s.meaning, s.at, s.file_hash, s.voided, "
    "s.entry, s.void_entry, a.action, a.user_name, a.at, a.new_value, a.object_id, v.action, v.reason "
    "FROM signatures s LEFT JOIN audit a ON a.id = s.entry LEFT JOIN audit v ON v.id = s.void_entry";

QString legacyText(const Signature& s)
{
    return s.meaning + QStringLiteral(" SHA-256 ") + s.fileHash;
}

// Why a row does not say what its entries say; empty when it does. Signatures from before rows
// pointed at entries name no full name in the entry and kept the workstation's own time.
QString misfit(const Signature& s, const QSqlQuery& q)
{
    const QString text = q.value(14).toString();
    const bool legacy = text == legacyText(s);
    if (q.value(11).toString() != Signed || q.value(12).toString() != s.user || (!legacy && text != Signatures::entryText(s)))
        return QStringLiteral("签名%1与审计追踪第%2条不符").arg(s.id).arg(s.entry);
    if (!legacy && (q.value(13).toString() != s.at.toString(Qt::ISODateWithMs) || q.value(15).toString() != s.experimentId))
        return QStringLiteral("签名%1与审计追踪第%2条不符").arg(s.id).arg(s.entry);
    const bool voidFits = s.voided.isEmpty() ? s.voidEntry == 0
                                             : q.value(16).toString() == Unlocked && q.value(17).toString() == s.voided && s.voidEntry > s.entry;
    return voidFits ? QString() : QStringLiteral("签名%1的作废在审计追踪中没有对应的解锁").arg(s.id);
}

Signature signatureOf(const QSqlQuery& q)
{
    Signature s;
    s.id = q.value(0).toLongLong();
    s.experiment = q.value(1).toString();
    s.experimentId = q.value(2).toString();
    s.user = q.value(3).toString();
    s.fullName = q.value(4).toString();
    s.meaning = q.value(5).toString();
    s.at = QDateTime::fromString(q.value(6).toString(), Qt::ISODateWithMs);
    s.fileHash = q.value(7).toString();
    s.voided = q.value(8).toString();
    s.entry = q.value(9).toLongLong();
    s.voidEntry = q.value(10).toLongLong();
    return s;
}

// The rows of one experiment: by its id, or, for a file from before ids, by its name or by the
// file signed (a file renamed outside the program is still the file its signature names).
// An experiment's signatures: those under its id, and any under its name or its content, so that
// a file whose id was cut out or replaced stays as signed as its name (which follows renames)
// and its content say.
QString whereOf(const ExperimentRef& e, const QString& prefix, QStringList& values)
{
    values = QStringList{e.id, e.name, e.fileHash};
    return QStringLiteral(" WHERE ((%1experiment_id = ? AND %1experiment_id <> '') OR %1experiment = ? OR (%1file_hash = ? AND %1file_hash <> ''))")
        .arg(prefix);
}

}

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

QString Signatures::entryText(const Signature& s)
{
    return legacyText(s) + QLatin1Char(' ') + s.fullName;
}

bool Signatures::addLocked(Signature& s)
{
    QSqlQuery last(mStore.db());
    if (!last.exec("SELECT MAX(id) FROM signatures"))
        return false;
    s.id = last.next() ? last.value(0).toLongLong() + 1 : 1;
    last.finish();
    return mStore.insert("signatures", {"id", "experiment", "experiment_id", "user_name", "full_name", "meaning", "at", "file_hash", "voided", "entry", "void_entry"},
                         {s.id, s.experiment, s.experimentId, s.user, s.fullName, s.meaning, s.at.toString(Qt::ISODateWithMs),
                          s.fileHash, QString(), s.entry, 0});
}

bool Signatures::voidLocked(const ExperimentRef& experiment, const QString& reason, qint64 entry)
{
    QStringList values;
    QSqlQuery query(mStore.db());
    query.prepare(QStringLiteral("UPDATE signatures SET voided = ?, void_entry = ?") + whereOf(experiment, QString(), values)
                  + QStringLiteral(" AND voided = ''"));
    query.addBindValue(reason);
    query.addBindValue(entry);
    for (const QString& v : values)
        query.addBindValue(v);
    return query.exec();
}

QVector<Signature> Signatures::rows(const QString& where, const QStringList& values, QStringList& misfits, bool* ok) const
{
    QSqlQuery query(mStore.db());
    query.setForwardOnly(true);
    query.prepare(QString::fromLatin1(Select) + where + QStringLiteral(" ORDER BY s.id"));
    for (const QString& v : values)
        query.addBindValue(v);
    QVector<Signature> list;
    *ok = query.exec();
    while (*ok && query.next()) {
        Signature s = signatureOf(query);
        const QString why = misfit(s, query);
        if (!why.isEmpty()) {
            misfits << why;
            continue;
        }
        // The time shown is the entry's, which the chain covers.
        s.at = QDateTime::fromString(query.value(13).toString(), Qt::ISODateWithMs);
        list.append(s);
    }
    return list;
}

Signatures::State Signatures::of(const ExperimentRef& experiment) const
{
    State state;
    QStringList values;
    for (const Signature& s : rows(whereOf(experiment, "s.", values), values, state.misfits, &state.answered))
        (s.voided.isEmpty() ? state.holding : state.voided).append(s);
    // A signature entry whose row is gone: removing rows unlocks nothing.
    QSqlQuery orphans(mStore.db());
    orphans.prepare(experiment.id.isEmpty()
                        ? "SELECT a.id FROM audit a WHERE a.action = ? AND a.object_id = '' AND a.object_name = ? "
                          "AND NOT EXISTS (SELECT 1 FROM signatures s WHERE s.entry = a.id)"
                        : "SELECT a.id FROM audit a WHERE a.action = ? AND a.object_id = ? "
                          "AND NOT EXISTS (SELECT 1 FROM signatures s WHERE s.entry = a.id)");
    orphans.addBindValue(Signed);
    orphans.addBindValue(experiment.id.isEmpty() ? experiment.name : experiment.id);
    state.answered = state.answered && orphans.exec();
    while (state.answered && orphans.next())
        state.misfits << QStringLiteral("审计追踪第%1条签名在签名表中缺失").arg(orphans.value(0).toLongLong());
    return state;
}

bool Signatures::isLocked(const ExperimentRef& experiment) const
{
    const State state = of(experiment);
    return !state.answered || !state.holding.isEmpty() || !state.misfits.isEmpty();
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

bool Signatures::rename(const QString& from, const QString& to)
{
    QSqlQuery query(mStore.db());
    query.prepare("UPDATE signatures SET experiment = ? WHERE experiment = ?");
    query.addBindValue(to);
    query.addBindValue(from);
    return query.exec();
}

QString Signatures::verify() const
{
    QStringList misfits;
    bool ok = false;
    rows(QString(), {}, misfits, &ok);
    QSqlQuery orphans(mStore.db());
    orphans.prepare("SELECT a.id FROM audit a WHERE a.action = ? AND NOT EXISTS (SELECT 1 FROM signatures s WHERE s.entry = a.id)");
    orphans.addBindValue(Signed);
    if (!ok || !orphans.exec())
        return QStringLiteral("签名表无法读取");
    while (orphans.next())
        misfits << QStringLiteral("审计追踪第%1条签名在签名表中缺失").arg(orphans.value(0).toLongLong());
    return misfits.join(QStringLiteral("；"));
}
