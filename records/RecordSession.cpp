#include "records/RecordSession.h"

#include "files/OutData.h"
#include "records/RecordChanges.h"

#include <QDebug>
#include <QSqlQuery>
#include <QSysInfo>

RecordSession::RecordSession(const QString& location)
    : mStore(location)
    , mUsers(mStore)
    , mTrail(mStore)
    , mSignatures(mStore)
    , mResults(mStore)
    , mMachine(QSysInfo::machineHostName())
{
}

bool RecordSession::open()
{
    mOpen = mStore.open();
    usersOn();
    return mOpen;
}

bool RecordSession::usersOn() const
{
    if (!mOpen)
        return false;
    bool answered = false;
    const bool on = mUsers.usersOn(&answered);
    if (answered)
        mUsersOn = on;
    return mUsersOn;
}

QString RecordSession::actor() const
{
    if (signedIn())
        return mAccount.name;
    const QString system = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return system.isEmpty() ? QStringLiteral("-") : system;
}

QString RecordSession::login(const QString& name, const QString& password)
{
    UserAccount account;
    QString fault;
    switch (mUsers.check(name, password, &account)) {
    case UserDirectory::Login::Ok:
        mAccount = account;
        record(QStringLiteral("登录"), QStringLiteral("session"), name);
        return QString();
    case UserDirectory::Login::Unknown:
        fault = QStringLiteral("用户名或密码错误");
        break;
    case UserDirectory::Login::WrongPassword:
        fault = QStringLiteral("用户名或密码错误（再错%1次将锁定）").arg(UserDirectory::MaxFailedLogins - account.failed - 1);
        break;
    case UserDirectory::Login::Locked:
        fault = QStringLiteral("用户%1已锁定：连续%2次登录失败，请管理员重设密码").arg(name).arg(UserDirectory::MaxFailedLogins);
        break;
    case UserDirectory::Login::Disabled:
        fault = QStringLiteral("用户%1已停用").arg(name);
        break;
    }
    // Failures are the trail's too, under the name that was typed.
    const UserAccount before = mAccount;
    mAccount = UserAccount();
    mAccount.name = name;
    record(QStringLiteral("登录失败"), QStringLiteral("session"), name, QString(), fault);
    mAccount = before;
    return fault;
}

void RecordSession::logout(const QString& reason)
{
    if (!signedIn())
        return;
    record(QStringLiteral("退出登录"), QStringLiteral("session"), mAccount.name, QString(), QString(), reason);
    mAccount = UserAccount();
}

bool RecordSession::may(Permission permission) const
{
    if (!usersOn())
        return true;
    return signedIn() && Roles::allows(mAccount.role, permission);
}

QString RecordSession::refusal(Permission permission) const
{
    if (may(permission))
        return QString();
    if (!signedIn())
        return QStringLiteral("请先登录后再%1").arg(Roles::describe(permission));
    return QStringLiteral("当前用户%1（%2）无权%3").arg(mAccount.name, Roles::name(mAccount.role), Roles::describe(permission));
}

QString RecordSession::changeRefusal(const QString& experiment, Permission permission)
{
    const QString role = refusal(permission);
    if (!role.isEmpty())
        return role;
    if (mOpen && !mStore.ensureConnected())
        return QStringLiteral("记录库无法连接（%1），不能修改实验%2").arg(mStore.fault(), experiment);
    if (mOpen && mSignatures.isLocked(experiment))
        return QStringLiteral("实验%1已签名锁定，不能修改；须由管理员解锁（解锁将使签名作废）").arg(experiment);
    return QString();
}

bool RecordSession::record(const QString& action, const QString& objectType, const QString& objectName,
                           const QString& oldValue, const QString& newValue, const QString& reason)
{
    if (!mOpen)
        return false;
    AuditEntry entry;
    entry.user = actor();
    entry.machine = mMachine;
    entry.action = action;
    entry.objectType = objectType;
    entry.objectName = objectName;
    entry.oldValue = oldValue;
    entry.newValue = newValue;
    entry.reason = reason;
    if (mTrail.append(entry))
        return true;
    // Never lost without a word: the log keeps what the store would not take.
    qWarning().noquote() << "audit entry not stored (" + mStore.fault() + "):" << entry.user << action << objectType
                         << objectName << oldValue << "->" << newValue << reason;
    return false;
}

bool RecordSession::recordChanges(const QString& experiment, const OutData& before, const OutData& after, const QString& reason)
{
    const QVector<RecordChange> changes = RecordChanges::between(before, after);
    for (const RecordChange& c : changes)
        record(c.action, QStringLiteral("experiment"), experiment, c.what + QStringLiteral("：") + c.oldValue, c.newValue, reason);
    return !changes.isEmpty();
}

bool RecordSession::indexExperiment(const QString& experiment, const QString& path)
{
    if (!mOpen)
        return false;
    QSqlQuery query(mStore.db());
    query.prepare("INSERT INTO experiments (name, path, file_hash, saved) VALUES (?, ?, ?, ?) "
                  "ON CONFLICT (name) DO UPDATE SET path = excluded.path, file_hash = excluded.file_hash, saved = excluded.saved");
    query.addBindValue(experiment);
    query.addBindValue(path);
    query.addBindValue(Signatures::fileHash(path));
    query.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    query.exec();
    return indexResults(experiment, path);
}

bool RecordSession::indexResults(const QString& experiment, const QString& path)
{
    OutData data;
    // Who made the experiment is whoever its first entry names, not whoever saves it now.
    const QVector<AuditEntry> made = mTrail.list(QStringLiteral("experiment"), experiment);
    const bool indexed = data.openAs(path) == 0 && mResults.update(experiment, data, made.isEmpty() ? actor() : made.first().user);
    if (!indexed)
        qWarning().noquote() << "results of" << experiment << "not indexed:" << (mResults.fault().isEmpty() ? "unreadable file" : mResults.fault());
    return indexed;
}

void RecordSession::forgetExperiment(const QString& experiment)
{
    if (!mOpen)
        return;
    QSqlQuery query(mStore.db());
    query.prepare("DELETE FROM experiments WHERE name = ?");
    query.addBindValue(experiment);
    query.exec();
    mResults.forget(experiment);
}

QString RecordSession::sign(const QString& experiment, const QString& path, const QString& meaning, const QString& password)
{
    if (!usersOn())
        return QStringLiteral("签名需要启用用户管理");
    const QString role = refusal(Permission::Sign);
    if (!role.isEmpty())
        return role;
    if (!Signatures::meanings().contains(meaning))
        return QStringLiteral("签名含义须为%1").arg(Signatures::meanings().join(QStringLiteral("或")));
    if (mUsers.check(mAccount.name, password) != UserDirectory::Login::Ok) {
        record(QStringLiteral("签名失败"), QStringLiteral("experiment"), experiment, QString(), QStringLiteral("密码错误"));
        return QStringLiteral("密码错误，未签名");
    }
    Signature s;
    s.experiment = experiment;
    s.user = mAccount.name;
    s.fullName = mAccount.fullName;
    s.meaning = meaning;
    s.fileHash = Signatures::fileHash(path);
    if (s.fileHash.isEmpty())
        return QStringLiteral("实验文件无法读取，未签名");
    if (!mSignatures.add(s))
        return QStringLiteral("记录库拒绝签名：%1").arg(mStore.fault());
    record(QStringLiteral("签名"), QStringLiteral("experiment"), experiment, QString(), meaning + QStringLiteral(" SHA-256 ") + s.fileHash);
    return QString();
}

QString RecordSession::unlock(const QString& experiment, const QString& reason)
{
    const QString role = refusal(Permission::Unlock);
    if (!role.isEmpty())
        return role;
    if (reason.trimmed().isEmpty())
        return QStringLiteral("解锁须填写原因");
    const int count = mSignatures.of(experiment).size();
    if (count == 0)
        return QStringLiteral("实验%1没有有效签名").arg(experiment);
    if (!mSignatures.voidAll(experiment, reason))
        return QStringLiteral("记录库拒绝解锁：%1").arg(mStore.fault());
    record(QStringLiteral("解锁"), QStringLiteral("experiment"), experiment, QStringLiteral("%1个签名").arg(count),
           QStringLiteral("签名作废"), reason);
    return QString();
}

QString RecordSession::signatureMismatch(const QString& experiment, const QString& path) const
{
    if (!mOpen)
        return QString();
    const QString hash = Signatures::fileHash(path);
    QStringList broken;
    for (const Signature& s : mSignatures.of(experiment))
        if (s.fileHash != hash)
            broken << QStringLiteral("%1 %2（%3）").arg(s.fullName, s.meaning, s.at.toLocalTime().toString("yyyy-MM-dd HH:mm"));
    if (broken.isEmpty())
        return QString();
    return QStringLiteral("文件在签名后已被改动，签名不再相符：%1").arg(broken.join(QStringLiteral("；")));
}
