#include "records/UserDirectory.h"

#include "records/PasswordHash.h"
#include "records/RecordStore.h"

#include <algorithm>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

UserAccount accountOf(const QSqlQuery& query)
{
    UserAccount a;
    a.name = query.value(0).toString();
    a.fullName = query.value(1).toString();
    Roles::fromCode(query.value(2).toString(), a.role);
    a.enabled = query.value(3).toInt() != 0;
    a.failed = query.value(4).toInt();
    return a;
}

const char* const Columns = "name, full_name, role, enabled, failed";

}

UserDirectory::UserDirectory(RecordStore& store)
    : mStore(store)
{
}

bool UserDirectory::usersOn(bool* ok) const
{
    QSqlQuery query(mStore.db());
    query.prepare("SELECT value FROM store_settings WHERE key = 'users'");
    const bool answered = query.exec();
    if (ok)
        *ok = answered;
    return answered && query.next() && query.value(0).toString() == QLatin1String("on");
}

QString UserDirectory::validNew(const QString& name, const QString& password) const
{
    if (!acceptableName(name) || name.trimmed() != name)
        return QStringLiteral("用户名须为1到%1个字符，前后无空格，不含控制字符").arg(MaxNameLength);
    if (password.size() < MinPasswordLength)
        return QStringLiteral("密码至少%1个字符").arg(MinPasswordLength);
    UserAccount existing;
    if (find(name, existing))
        return QStringLiteral("用户%1已存在").arg(name);
    return QString();
}

QString UserDirectory::add(const QString& name, const QString& fullName, Role role, const QString& password)
{
    const QString fault = validNew(name, password);
    if (!fault.isEmpty())
        return fault;
    const QString hash = PasswordHash::make(password);
    if (hash.isEmpty())
        return QStringLiteral("密码无法处理（内存不足）");
    const bool added = mStore.insert("users", {"name", "full_name", "role", "pw_hash", "enabled", "failed", "created"},
                                     {name, fullName.trimmed().isEmpty() ? name : fullName.trimmed().left(MaxNameLength),
                                      Roles::code(role), hash, 1, 0, QDateTime::currentDateTimeUtc().toString(Qt::ISODate)});
    return added ? QString() : QStringLiteral("记录库拒绝：%1").arg(mStore.fault());
}

QString UserDirectory::init(const QString& admin, const QString& fullName, const QString& password)
{
    if (usersOn())
        return QStringLiteral("用户管理已启用");
    QString fault;
    mStore.writeExclusively("store_settings", [&] {
        fault = add(admin, fullName, Role::Administrator, password);
        return fault.isEmpty() && mStore.exec("INSERT INTO store_settings (key, value) VALUES ('users', 'on')");
    });
    if (fault.isEmpty() && !usersOn())
        fault = QStringLiteral("记录库拒绝：%1").arg(mStore.fault());
    return fault;
}


QString UserDirectory::setEnabled(const QString& name, bool enabled)
{
    UserAccount account;
    if (!find(name, account))
        return QStringLiteral("没有用户%1").arg(name);
    if (!enabled && account.role == Role::Administrator) {
        int admins = 0;
        for (const UserAccount& a : list())
            admins += a.enabled && a.role == Role::Administrator ? 1 : 0;
        // Nobody could manage users any more.
        if (admins <= 1)
            return QStringLiteral("%1是最后一个启用的管理员，不能停用").arg(name);
    }
    QSqlQuery query(mStore.db());
    query.prepare("UPDATE users SET enabled = ? WHERE name = ?");
    query.addBindValue(enabled ? 1 : 0);
    query.addBindValue(name);
    return query.exec() ? QString() : QStringLiteral("记录库拒绝：%1").arg(mStore.db().lastError().text());
}

QString UserDirectory::setPassword(const QString& name, const QString& password)
{
    UserAccount account;
    if (!find(name, account))
        return QStringLiteral("没有用户%1").arg(name);
    if (password.size() < MinPasswordLength)
        return QStringLiteral("密码至少%1个字符").arg(MinPasswordLength);
    const QString hash = PasswordHash::make(password);
    if (hash.isEmpty())
        return QStringLiteral("密码无法处理（内存不足）");
    QSqlQuery query(mStore.db());
    query.prepare("UPDATE users SET pw_hash = ?, failed = 0 WHERE name = ?");
    query.addBindValue(hash);
    query.addBindValue(name);
    return query.exec() ? QString() : QStringLiteral("记录库拒绝：%1").arg(mStore.db().lastError().text());
}

QVector<UserAccount> UserDirectory::list() const
{
    QVector<UserAccount> accounts;
    QSqlQuery query(mStore.db());
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT %1 FROM users ORDER BY name").arg(Columns)))
        while (query.next())
            accounts.append(accountOf(query));
    return accounts;
}

bool UserDirectory::find(const QString& name, UserAccount& out) const
{
    QSqlQuery query(mStore.db());
    query.prepare(QStringLiteral("SELECT %1 FROM users WHERE name = ?").arg(Columns));
    query.addBindValue(name);
    if (!query.exec() || !query.next())
        return false;
    out = accountOf(query);
    return true;
}

bool UserDirectory::acceptableName(const QString& name)
{
    if (name.isEmpty() || name.size() > MaxNameLength)
        return false;
    return std::none_of(name.cbegin(), name.cend(), misleads);
}

bool UserDirectory::misleads(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Other_Format || category == QChar::Separator_Line
        || category == QChar::Separator_Paragraph;
}

UserDirectory::Login UserDirectory::check(const QString& name, const QString& password, UserAccount* account)
{
    // Every refusal costs one hash, as a wrong password does, so that the time of the answer
    // tells nothing of whether the name exists.
    static const QString decoy = PasswordHash::make(QStringLiteral("no account has this password"));
    UserAccount found;
    if (!acceptableName(name) || !find(name, found)) {
        PasswordHash::matches(decoy, password);
        return Login::Unknown;
    }
    if (account)
        *account = found;
    // The try is counted before the password is looked at, in one statement, so that tries in
    // parallel are counted as many and no more than the limit are ever looked at.
    QSqlQuery count(mStore.db());
    count.prepare("UPDATE users SET failed = failed + 1 WHERE name = ? AND enabled = 1 AND failed < ?");
    count.addBindValue(name);
    count.addBindValue(MaxFailedLogins);
    const bool counted = count.exec() && count.numRowsAffected() == 1;
    count.finish();
    QSqlQuery query(mStore.db());
    query.prepare("SELECT pw_hash FROM users WHERE name = ?");
    query.addBindValue(name);
    const bool good = query.exec() && query.next() && PasswordHash::matches(query.value(0).toString(), password);
    query.finish();
    if (!counted)
        return !found.enabled ? Login::Disabled : Login::Locked;
    if (!good)
        return found.failed + 1 >= MaxFailedLogins ? Login::Locked : Login::WrongPassword;
    QSqlQuery clear(mStore.db());
    clear.prepare("UPDATE users SET failed = 0 WHERE name = ?");
    clear.addBindValue(name);
    return clear.exec() ? Login::Ok : Login::Locked;
}

QString UserDirectory::unlock(const QString& name)
{
    UserAccount account;
    if (!find(name, account))
        return QStringLiteral("没有用户%1").arg(name);
    QSqlQuery query(mStore.db());
    query.prepare("UPDATE users SET failed = 0 WHERE name = ?");
    query.addBindValue(name);
    return query.exec() ? QString() : QStringLiteral("记录库拒绝：%1").arg(mStore.db().lastError().text());
}
