#include "records/AuditTrail.h"

#include "records/RecordStore.h"

#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <limits>

namespace {

const char* const Columns = "id, at, user_name, machine, action, object_type, object_name, old_value, new_value, reason, "
                            "prev_hash, hash, object_id, done_at";

AuditEntry entryOf(const QSqlQuery& q)
{
    AuditEntry e;
    e.id = q.value(0).toLongLong();
    e.at = QDateTime::fromString(q.value(1).toString(), Qt::ISODateWithMs);
    e.user = q.value(2).toString();
    e.machine = q.value(3).toString();
    e.action = q.value(4).toString();
    e.objectType = q.value(5).toString();
    e.objectName = q.value(6).toString();
    e.oldValue = q.value(7).toString();
    e.newValue = q.value(8).toString();
    e.reason = q.value(9).toString();
    e.prevHash = q.value(10).toString();
    e.hash = q.value(11).toString();
    e.objectId = q.value(12).toString();
    e.doneAt = QDateTime::fromString(q.value(13).toString(), Qt::ISODateWithMs);
    return e;
}

constexpr int MostClockStepBack = 600; // seconds

QString timeText(const QDateTime& at)
{
    return at.toUTC().toString(Qt::ISODateWithMs);
}

}

QJsonObject AuditEntry::toJson() const
{
    return {{"id", id}, {"time", timeText(at)}, {"user", user}, {"machine", machine}, {"action", action},
            {"objectType", objectType}, {"object", objectName}, {"objectId", objectId},
            {"doneAt", doneAt.isValid() ? timeText(doneAt) : QString()}, {"old", oldValue}, {"new", newValue},
            {"reason", reason}, {"prevHash", prevHash}, {"hash", hash}};
}

AuditEntry AuditEntry::fromJson(const QJsonObject& o)
{
    AuditEntry e;
    e.user = o.value("user").toString();
    e.machine = o.value("machine").toString();
    e.action = o.value("action").toString();
    e.objectType = o.value("objectType").toString();
    e.objectName = o.value("object").toString();
    e.objectId = o.value("objectId").toString();
    e.oldValue = o.value("old").toString();
    e.newValue = o.value("new").toString();
    e.reason = o.value("reason").toString();
    e.doneAt = QDateTime::fromString(o.value("doneAt").toString(), Qt::ISODateWithMs);
    return e;
}

AuditTrail::AuditTrail(RecordStore& store)
    : mStore(store)
{
}

QString AuditTrail::hashOf(const AuditEntry& e)
{
    // Fields joined by a separator no typed text holds, so no two contents read alike.
    // An entry without an experiment id hashes as entries did before ids were kept.
    QStringList fields = {QString::number(e.id), timeText(e.at), e.user, e.machine, e.action, e.objectType,
                          e.objectName, e.oldValue, e.newValue, e.reason, e.prevHash};
    if (!e.objectId.isEmpty() || e.doneAt.isValid())
        fields << e.objectId;
    if (e.doneAt.isValid())
        fields << timeText(e.doneAt);
    return QString::fromLatin1(QCryptographicHash::hash(fields.join(QChar(0x1f)).toUtf8(), QCryptographicHash::Sha256).toHex());
}

bool AuditTrail::append(AuditEntry entry, AuditEntry* written)
{
    const bool stored = mStore.writeExclusively("audit", [&] { return appendLocked(entry); });
    if (stored && written)
        *written = entry;
    return stored;
}

bool AuditTrail::appendLocked(AuditEntry& entry)
{
    QSqlQuery last(mStore.db());
    if (!last.exec("SELECT id, hash FROM audit ORDER BY id DESC LIMIT 1"))
        return false;
    entry.id = last.next() ? last.value(0).toLongLong() + 1 : 1;
    entry.prevHash = entry.id > 1 ? last.value(1).toString() : firstPrevHash();
    last.finish();
    // A server's entries take its clock, which the database holds them to, not the workstation's.
    if (mStore.isPostgres()) {
        QSqlQuery now(mStore.db());
        if (!now.exec("SELECT to_char(transaction_timestamp() AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"')")
            || !now.next())
            return false;
        entry.at = QDateTime::fromString(now.value(0).toString(), Qt::ISODateWithMs);
    } else {
        entry.at = QDateTime::currentDateTimeUtc();
    }
    entry.hash = hashOf(entry);
    return mStore.insert("audit", QString::fromLatin1(Columns).split(", "),
                         {entry.id, timeText(entry.at), entry.user, entry.machine, entry.action, entry.objectType,
                          entry.objectName, entry.oldValue, entry.newValue, entry.reason, entry.prevHash, entry.hash,
                          entry.objectId, entry.doneAt.isValid() ? timeText(entry.doneAt) : QString()});
}

QVector<AuditEntry> AuditTrail::ofExperiment(const ExperimentRef& experiment) const
{
    // An experiment's entries from before it had an id are those under its name.
    if (experiment.id.isEmpty())
        return select(" WHERE object_type = 'experiment' AND object_name = ? AND object_id = ''", {experiment.name}, -1, 0);
    return select(" WHERE object_id = ? OR (object_type = 'experiment' AND object_name = ? AND object_id = '')",
                  {experiment.id, experiment.name}, -1, 0);
}

QVector<AuditEntry> AuditTrail::select(const QString& where, const QStringList& values, qint64 limit, qint64 offset) const
{
    QSqlQuery query(mStore.db());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM audit%2 ORDER BY id LIMIT %3 OFFSET %4")
                      .arg(Columns, where).arg(limit < 0 ? std::numeric_limits<qint64>::max() : limit).arg(offset));
    for (const QString& v : values)
        query.addBindValue(v);
    QVector<AuditEntry> entries;
    if (query.exec())
        while (query.next())
            entries.append(entryOf(query));
    return entries;
}

bool AuditTrail::entry(qint64 id, AuditEntry& out) const
{
    QSqlQuery query(mStore.db());
    query.prepare(QStringLiteral("SELECT %1 FROM audit WHERE id = ?").arg(Columns));
    query.addBindValue(id);
    if (!query.exec() || !query.next())
        return false;
    out = entryOf(query);
    return true;
}

AuditTrail::Head AuditTrail::head() const
{
    Head h;
    QSqlQuery query(mStore.db());
    if (query.exec("SELECT id, hash FROM audit ORDER BY id DESC LIMIT 1") && query.next()) {
        h.id = query.value(0).toLongLong();
        h.hash = query.value(1).toString();
    }
    return h;
}

QVector<AuditEntry> AuditTrail::list(const QString& objectType, const QString& objectName, qint64 limit, qint64 offset) const
{
    if (objectType.isEmpty())
        return select(QString(), {}, limit, offset);
    if (objectName.isEmpty())
        return select(" WHERE object_type = ?", {objectType}, limit, offset);
    return select(" WHERE object_type = ? AND object_name = ?", {objectType, objectName}, limit, offset);
}

AuditTrail::Check AuditTrail::verify() const
{
    Check check;
    QSqlQuery query(mStore.db());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1 FROM audit ORDER BY id").arg(Columns))) {
        check.why = QStringLiteral("the trail cannot be read: %1").arg(mStore.db().lastError().text());
        return check;
    }
    QString prev = firstPrevHash();
    QDateTime prevAt;
    qint64 expectedId = 1;
    while (query.next()) {
        const AuditEntry e = entryOf(query);
        ++check.entries;
        if (e.id != expectedId)
            check.why = QStringLiteral("entries %1 to %2 are missing").arg(expectedId).arg(e.id - 1);
        else if (e.prevHash != prev)
            check.why = QStringLiteral("it does not follow the entry before it (that one was changed or removed)");
        else if (hashOf(e) != e.hash)
            check.why = QStringLiteral("its content was changed after it was written");
        // Entries are written in time order; one far earlier than the entry before it was put in
        // afterwards with a time of its choosing. A workstation's clock set back a little is not.
        else if (prevAt.isValid() && e.at < prevAt.addSecs(-MostClockStepBack))
            check.why = QStringLiteral("its time (%1) is earlier than the entry before it (%2)").arg(timeText(e.at), timeText(prevAt));
        if (!check.why.isEmpty()) {
            check.brokenAt = e.id;
            return check;
        }
        prev = e.hash;
        prevAt = e.at;
        expectedId = e.id + 1;
    }
    check.lastHash = prev;
    return check;
}
