#include "records/RecordSession.h"

#include "files/OutData.h"
#include "records/RecordChanges.h"

#include <QDebug>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>
#include <QSqlQuery>
#include <QSysInfo>

RecordSession::RecordSession(const QString& location)
    : mStore(location)
    , mUsers(mStore)
    , mTrail(mStore)
    , mSignatures(mStore)
    , mResults(mStore)
    , mJournal(mStore.isPostgres() ? QStringLiteral("records.journal") : mStore.describe() + QStringLiteral(".journal"))
    , mMachine(QSysInfo::machineHostName())
{
}

bool RecordSession::open()
{
    mOpen = mStore.open();
    if (mOpen)
        mJournal.flushTo(mTrail);
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
    // With users on, who acts is who logged in, never what the environment claims.
    if (usersOn())
        return QStringLiteral("-");
    const QString system = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return system.isEmpty() ? QStringLiteral("-") : system;
}

QString RecordSession::login(const QString& name, const QString& password)
{
    UserAccount account;
    const UserDirectory::Login outcome = mUsers.check(name, password, &account);
    if (outcome == UserDirectory::Login::Ok) {
        mAccount = account;
        record(QStringLiteral("登录"), QStringLiteral("session"), name);
        return QString();
    }
    // One answer for every failure: who tries names learns nothing of which names exist or
    // which are locked. The trail keeps the reason, with the typed name as what was tried: who
    // acted is only ever someone logged in.
    const QStringList why = {QString(), QStringLiteral("没有此用户"), QStringLiteral("密码错误"), QStringLiteral("已锁定"),
                             QStringLiteral("已停用")};
    const UserAccount before = mAccount;
    mAccount = UserAccount();
    record(QStringLiteral("登录失败"), QStringLiteral("session"), UserDirectory::acceptableName(name) ? name : QStringLiteral("-"),
           QString(), why.value(int(outcome)));
    mAccount = before;
    return QStringLiteral("用户名或密码错误，或账户已锁定或停用");
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
    // Read at every action: a user disabled or given another role meanwhile acts as that now.
    UserAccount now;
    if (!signedIn() || !mUsers.find(mAccount.name, now) || !now.enabled)
        return false;
    mAccount.role = now.role;
    return Roles::allows(now.role, permission);
}

QString RecordSession::refusal(Permission permission) const
{
    if (may(permission))
        return QString();
    if (!signedIn())
        return QStringLiteral("请先登录后再%1").arg(Roles::describe(permission));
    UserAccount now;
    if (!mUsers.find(mAccount.name, now) || !now.enabled)
        return QStringLiteral("用户%1已停用或无法核实，不能%2").arg(mAccount.name, Roles::describe(permission));
    return QStringLiteral("当前用户%1（%2）无权%3").arg(mAccount.name, Roles::name(mAccount.role), Roles::describe(permission));
}

QString RecordSession::changeRefusal(const ExperimentRef& experiment, Permission permission)
{
    const QString role = refusal(permission);
    if (!role.isEmpty())
        return role;
    if (mOpen && !mStore.ensureConnected())
        return QStringLiteral("记录库无法连接（%1），不能修改实验%2").arg(mStore.fault(), experiment.name);
    // A store made anew (a deleted file, another server) knows nothing of the experiment's
    // signatures: it may not decide on its changes.
    const QString foreign = mOpen ? foreignStore(experiment) : QString();
    if (!foreign.isEmpty())
        return foreign + QStringLiteral("，在此不能修改");
    if (mOpen && mSignatures.isLocked(experiment))
        return QStringLiteral("实验%1已签名锁定，不能修改；须由管理员解锁（解锁将使签名作废）").arg(experiment.name);
    return QString();
}

bool RecordSession::record(const QString& action, const QString& objectType, const QString& objectName,
                           const QString& oldValue, const QString& newValue, const QString& reason)
{
    AuditEntry entry;
    entry.objectType = objectType;
    entry.objectName = objectName;
    return append(entry, action, oldValue, newValue, reason);
}

bool RecordSession::recordOn(const ExperimentRef& experiment, const QString& action, const QString& oldValue,
                             const QString& newValue, const QString& reason)
{
    AuditEntry entry = entryOn(experiment);
    return append(entry, action, oldValue, newValue, reason);
}

AuditEntry RecordSession::entryOn(const ExperimentRef& experiment) const
{
    AuditEntry entry;
    entry.objectType = QStringLiteral("experiment");
    entry.objectName = experiment.name;
    entry.objectId = experiment.id;
    entry.user = actor();
    entry.machine = mMachine;
    return entry;
}

bool RecordSession::append(AuditEntry& entry, const QString& action, const QString& oldValue, const QString& newValue,
                           const QString& reason)
{
    if (!mOpen)
        return false;
    entry.user = actor();
    entry.machine = mMachine;
    entry.action = action;
    entry.oldValue = oldValue;
    entry.newValue = newValue;
    entry.reason = reason;
    // What a run kept while the store was away comes first, in its order.
    if (mJournal.flushTo(mTrail) && mTrail.append(entry, &entry))
        return true;
    // Never lost without a word: the log keeps what the store would not take.
    qWarning().noquote() << "audit entry not stored (" + mStore.fault() + "):" << entry.user << action << entry.objectType
                         << entry.objectName << oldValue << "->" << newValue << reason;
    return false;
}

bool RecordSession::recordRun(const ExperimentRef& experiment, const QString& action, const QString& newValue)
{
    AuditEntry entry = entryOn(experiment);
    if (append(entry, action, QString(), newValue, QString()))
        return true;
    return mJournal.keep(entry);
}

bool RecordSession::recordChanges(const ExperimentRef& experiment, const OutData& before, const OutData& after, const QString& reason)
{
    for (const RecordChange& c : RecordChanges::between(before, after))
        if (!recordOn(experiment, c.action, c.what + QStringLiteral("：") + c.oldValue, c.newValue, reason))
            return false;
    return true;
}

void RecordSession::stamp(OutData& record) const
{
    if (record.recordId.isEmpty())
        record.recordId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (record.storeId.isEmpty())
        record.storeId = mStore.id();
    const AuditTrail::Head head = mTrail.head();
    record.trailEntry = head.id;
    record.trailHash = head.hash;
}

bool RecordSession::indexExperiment(const ExperimentRef& experiment, const QString& path, bool run)
{
    if (!mOpen)
        return false;
    const QString hash = Signatures::fileHash(path);
    AuditEntry entry = entryOn(experiment);
    if (!append(entry, QStringLiteral("保存实验"), QFileInfo(path).fileName(), QStringLiteral("SHA-256 ") + hash, QString()))
        return run && mJournal.keep(entry);
    QSqlQuery query(mStore.db());
    query.prepare("INSERT INTO experiments (name, path, file_hash, saved) VALUES (?, ?, ?, ?) "
                  "ON CONFLICT (name) DO UPDATE SET path = excluded.path, file_hash = excluded.file_hash, saved = excluded.saved");
    query.addBindValue(experiment.name);
    query.addBindValue(path);
    query.addBindValue(hash);
    query.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    query.exec();
    return indexResults(experiment.name, path);
}

bool RecordSession::findExperiments(const ResultIndex::Query& query, QVector<ResultIndex::Hit>& hits)
{
    if (!mResults.search(query, hits))
        return false;
    QVector<ResultIndex::Hit> kept;
    for (ResultIndex::Hit hit : hits) {
        const Signatures::State state = mSignatures.of(ExperimentRef(hit.experiment));
        hit.isSigned = state.answered && !state.holding.isEmpty() && state.misfits.isEmpty();
        if (query.signedState < 0 || hit.isSigned == (query.signedState == 1))
            kept << hit;
    }
    hits = kept;
    return true;
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

QString RecordSession::sign(const ExperimentRef& experiment, const QString& path, const QString& meaning, const QString& password)
{
    if (!usersOn())
        return QStringLiteral("签名需要启用用户管理");
    const QString role = refusal(Permission::Sign);
    if (!role.isEmpty())
        return role;
    if (!Signatures::meanings().contains(meaning))
        return QStringLiteral("签名含义须为%1").arg(Signatures::meanings().join(QStringLiteral("或")));
    if (mUsers.check(mAccount.name, password) != UserDirectory::Login::Ok) {
        recordOn(experiment, QStringLiteral("签名失败"), QString(), QStringLiteral("密码错误"));
        return QStringLiteral("密码错误，未签名");
    }
    const QString changed = fileChange(experiment, path);
    if (!changed.isEmpty())
        return changed + QStringLiteral("，未签名：须由管理员先说明改动的原因");
    // A scratch store's signature over another store's experiment vouches for nothing.
    const QString foreign = foreignStore(experiment);
    if (!foreign.isEmpty())
        return foreign + QStringLiteral("，在此不能签名");
    Signature s;
    s.experiment = experiment.name;
    s.experimentId = experiment.id;
    s.user = mAccount.name;
    s.fullName = mAccount.fullName;
    s.meaning = meaning;
    s.fileHash = Signatures::fileHash(path);
    if (s.fileHash.isEmpty())
        return QStringLiteral("实验文件无法读取，未签名");
    // The signature is its entry: both are written, or neither.
    AuditEntry entry = entryOn(experiment);
    entry.action = QStringLiteral("签名");
    entry.newValue = Signatures::entryText(s);
    const bool stored = mStore.writeExclusively("audit", [&] {
        if (!mTrail.appendLocked(entry))
            return false;
        s.entry = entry.id;
        s.at = entry.at;
        return mSignatures.addLocked(s);
    });
    return stored ? QString() : QStringLiteral("记录库拒绝签名：%1").arg(mStore.fault());
}

QString RecordSession::unlock(const ExperimentRef& experiment, const QString& reason)
{
    const QString role = refusal(Permission::Unlock);
    if (!role.isEmpty())
        return role;
    if (reason.trimmed().isEmpty())
        return QStringLiteral("解锁须填写原因");
    const int count = mSignatures.of(experiment).holding.size();
    if (count == 0)
        return QStringLiteral("实验%1没有有效签名").arg(experiment.name);
    AuditEntry entry = entryOn(experiment);
    entry.action = QStringLiteral("解锁");
    entry.oldValue = QStringLiteral("%1个签名").arg(count);
    entry.newValue = QStringLiteral("签名作废");
    entry.reason = reason;
    const bool stored = mStore.writeExclusively("audit", [&] {
        return mTrail.appendLocked(entry) && mSignatures.voidLocked(experiment, reason, entry.id);
    });
    return stored ? QString() : QStringLiteral("记录库拒绝解锁：%1").arg(mStore.fault());
}

QString RecordSession::explainChange(const ExperimentRef& experiment, const QString& path, const QString& reason)
{
    const QString role = refusal(Permission::Unlock);
    if (!role.isEmpty())
        return role;
    if (reason.trimmed().isEmpty())
        return QStringLiteral("说明改动须填写原因");
    const QString hash = Signatures::fileHash(path);
    if (hash.isEmpty())
        return QStringLiteral("实验文件无法读取");
    if (!recordOn(experiment, QStringLiteral("说明改动"), QFileInfo(path).fileName(), QStringLiteral("SHA-256 ") + hash, reason))
        return QStringLiteral("记录库拒绝：%1").arg(mStore.fault());
    return QString();
}

QString RecordSession::fileChange(const ExperimentRef& experiment, const QString& path) const
{
    if (!mOpen)
        return QString();
    static const QRegularExpression audited(QStringLiteral("SHA-256 ([0-9a-f]{64})"));
    const QVector<AuditEntry> entries = mTrail.ofExperiment(experiment);
    for (auto e = entries.crbegin(); e != entries.crend(); ++e) {
        const QRegularExpressionMatch m = audited.match(e->newValue);
        if (!m.hasMatch() || e->action.contains(QStringLiteral("失败")) || e->action == QStringLiteral("导出"))
            continue;
        // A save recorded late came from the journal beside the store, which anyone on this
        // machine can write: it vouches for no file until someone with the right says why.
        if (m.captured(1) == Signatures::fileHash(path) && !e->doneAt.isValid())
            return QString();
        if (e->doneAt.isValid())
            return QStringLiteral("文件的最后一次保存（%1，补记）未经记录库见证").arg(e->doneAt.toLocalTime().toString("yyyy-MM-dd HH:mm"));
        return QStringLiteral("文件在%1的%2之后被改动，改动未经记录")
            .arg(e->at.toLocalTime().toString("yyyy-MM-dd HH:mm"), e->action);
    }
    return QString();
}

QString RecordSession::foreignStore(const ExperimentRef& experiment) const
{
    if (experiment.storeId.isEmpty() || experiment.storeId == mStore.id())
        return QString();
    return QStringLiteral("实验%1的记录保存在另一个记录库（%2）").arg(experiment.name, experiment.storeId);
}

QString RecordSession::warning(const ExperimentRef& experiment, const QString& path) const
{
    if (!mOpen)
        return QStringLiteral("签名状态无法核实");
    const Signatures::State state = mSignatures.of(experiment);
    if (!state.answered)
        return QStringLiteral("签名状态无法核实");
    QStringList said = state.misfits;
    const QString hash = Signatures::fileHash(path);
    QStringList broken;
    for (const Signature& s : state.holding)
        if (s.fileHash != hash)
            broken << QStringLiteral("%1 %2（%3）").arg(s.fullName, s.meaning, s.at.toLocalTime().toString("yyyy-MM-dd HH:mm"));
    if (!broken.isEmpty())
        said << QStringLiteral("文件在签名后已被改动，签名不再相符：%1").arg(broken.join(QStringLiteral("；")));
    else
        said << fileChange(experiment, path);
    said << foreignStore(experiment);
    said.removeAll(QString());
    return said.join(QStringLiteral("。"));
}
