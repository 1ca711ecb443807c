#include "records/AuditTrail.h"

#include "records/RecordStore.h"

#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const char* const Columns = "id, at, user_name, machine, action, object_type, object_name, old_value, new_value, reason, prev_hash, hash";

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
    return e;
}

QString timeText(const QDateTime& at)
{
    return at.toUTC().toString(Qt::ISODateWithMs);
}

}

QJsonObject AuditEntry::toJson() const
{
    return {{"id", id}, {"time", timeText(at)}, {"user", user}, {"machine", machine}, {"action", action},
            {"objectType", objectType}, {"object", objectName}, {"old", oldValue}, {"new", newValue},
            {"reason", reason}, {"prevHash", prevHash}, {"hash", hash}};
}

AuditTrail::AuditTrail(RecordStore& store)
    : mStore(store)
{
}

QString AuditTrail::hashOf(const AuditEntry& e)
{
    // Fields joined by a separator no typed text holds, so no two contents read alike.
    const QStringList fields = {QString::number(e.id), timeText(e.at), e.user, e.machine, e.action, e.objectType,
                                e.objectName, e.oldValue, e.newValue, e.reason, e.prevHash};
    return QString::fromLatin1(QCryptographicHash::hash(fields.join(QChar(0x1f)).toUtf8(), QCryptographicHash::Sha256).toHex());
}

bool AuditTrail::append(AuditEntry entry)
{
    entry.at = (entry.at.isValid() ? entry.at : QDateTime::currentDateTimeUtc()).toUTC();
    return mStore.writeExclusively("audit", [&] {
        {
            QSqlQuery last(mStore.db());
            if (!last.exec("SELECT id, hash FROM audit ORDER BY id DESC LIMIT 1"))
                return false;
            entry.id = last.next() ? last.value(0).toLongLong() + 1 : 1;
            entry.prevHash = entry.id > 1 ? last.value(1).toString() : firstPrevHash();
        }
        entry.hash = hashOf(entry);
        return mStore.insert("audit", QString::fromLatin1(Columns).split(", "),
                             {entry.id, timeText(entry.at), entry.user, entry.machine, entry.action, entry.objectType,
                              entry.objectName, entry.oldValue, entry.newValue, entry.reason, entry.prevHash, entry.hash});
    });
}

QVector<AuditEntry> AuditTrail::list(const QString& objectType, const QString& objectName) const
{
    QSqlQuery query(mStore.db());
    query.setForwardOnly(true);
    QString sql = QStringLiteral("SELECT %1 FROM audit").arg(Columns);
    if (!objectType.isEmpty())
        sql += objectName.isEmpty() ? " WHERE object_type = ?" : " WHERE object_type = ? AND object_name = ?";
    query.prepare(sql + QStringLiteral(" ORDER BY id LIMIT %1").arg(MaxListed));
    if (!objectType.isEmpty())
        query.addBindValue(objectType);
    if (!objectType.isEmpty() && !objectName.isEmpty())
        query.addBindValue(objectName);
    QVector<AuditEntry> entries;
    if (query.exec())
        while (query.next())
            entries.append(entryOf(query));
    return entries;
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
        if (!check.why.isEmpty()) {
            check.brokenAt = e.id;
            return check;
        }
        prev = e.hash;
        expectedId = e.id + 1;
    }
    check.lastHash = prev;
    return check;
}
