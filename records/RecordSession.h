#pragma once

#include "records/AuditTrail.h"
#include "records/RecordStore.h"
#include "records/ResultIndex.h"
#include "records/Signatures.h"
#include "records/UserDirectory.h"

class OutData;

// Who works with the program, and the gate every change of a record passes: it says what the
// signed-in user may do, refuses changes of a signed record, and writes what was done to the
// audit trail. While users are off, everybody may do everything and the trail names the
// operating system's user.
class RecordSession
{
public:
    explicit RecordSession(const QString& location);

    bool open();
    bool isOpen() const { return mOpen; }
    QString fault() const { return mStore.fault(); }
    RecordStore& store() { return mStore; }
    UserDirectory& users() { return mUsers; }
    AuditTrail& trail() { return mTrail; }
    Signatures& signatures() { return mSignatures; }
    ResultIndex& results() { return mResults; }

    bool usersOn() const;
    // Empty on success, otherwise the message; every attempt is audited.
    QString login(const QString& name, const QString& password);
    void logout(const QString& reason = QString());
    bool signedIn() const { return !mAccount.name.isEmpty(); }
    const UserAccount& account() const { return mAccount; }
    // The name the trail records.
    QString actor() const;

    bool may(Permission permission) const;
    // Empty when allowed, otherwise why not: "当前用户NAME（ROLE）无权删除实验".
    QString refusal(Permission permission) const;
    // The role's refusal, or that the experiment is signed and therefore locked.
    QString changeRefusal(const QString& experiment, Permission permission = Permission::ChangeResults);
    // Whether a change of results must give a reason: whenever users are on.
    bool reasonsRequired() const { return usersOn(); }

    bool record(const QString& action, const QString& objectType, const QString& objectName,
                const QString& oldValue = QString(), const QString& newValue = QString(),
                const QString& reason = QString());
    // Every difference between two states of an experiment, one entry each; false when there was
    // none.
    bool recordChanges(const QString& experiment, const OutData& before, const OutData& after, const QString& reason);
    // The experiment in the store's index, with its file's hash as saved now and its results.
    // False when the file cannot be read or the store did not take it.
    bool indexExperiment(const QString& experiment, const QString& path);
    // ... and out of it, once its file is deleted or renamed.
    void forgetExperiment(const QString& experiment);

    // The signed-in user signs the file as it is now, after typing their password again.
    QString sign(const QString& experiment, const QString& path, const QString& meaning, const QString& password);
    // An administrator reopens a signed experiment; its signatures are void from then on.
    QString unlock(const QString& experiment, const QString& reason);
    // Signatures that hold whose hash is not the file's any more, as a warning; empty when each
    // one fits (or there is none).
    QString signatureMismatch(const QString& experiment, const QString& path) const;

private:
    bool indexResults(const QString& experiment, const QString& path);
    RecordStore mStore;
    UserDirectory mUsers;
    AuditTrail mTrail;
    Signatures mSignatures;
    ResultIndex mResults;
    QString mMachine;
    UserAccount mAccount;
    bool mOpen = false;
    // What the store said last: a store that cannot answer for a moment does not turn users off.
    mutable bool mUsersOn = false;
};
