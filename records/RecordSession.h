#pragma once

#include "records/AuditTrail.h"
#include "records/EntryJournal.h"
#include "records/ExperimentRef.h"
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
    QString changeRefusal(const ExperimentRef& experiment, Permission permission = Permission::ChangeResults);
    // Whether a change of results must give a reason: whenever users are on.
    bool reasonsRequired() const { return usersOn(); }

    bool record(const QString& action, const QString& objectType, const QString& objectName,
                const QString& oldValue = QString(), const QString& newValue = QString(),
                const QString& reason = QString());
    // An entry on an experiment, under its name and id.
    bool recordOn(const ExperimentRef& experiment, const QString& action, const QString& oldValue = QString(),
                  const QString& newValue = QString(), const QString& reason = QString());
    // An entry of a run, which goes on whatever the store does: kept in the journal beside the
    // store while the trail does not take it. False only when it could be kept nowhere.
    bool recordRun(const ExperimentRef& experiment, const QString& action, const QString& newValue = QString());
    // Every difference between two states of an experiment, one entry each, then the save; false
    // when the trail did not take them all (the caller then puts the file back).
    bool recordChanges(const ExperimentRef& experiment, const OutData& before, const OutData& after, const QString& reason);
    // Gives a record about to be saved its id (when it has none yet) and the trail's head.
    void stamp(OutData& record) const;
    // The experiment's file as saved now, its hash in the trail (which later opens compare with)
    // and in the store's index with its results; false when the trail did not take it (a run's
    // save is kept in the journal then) or the file could not be read for its results.
    bool indexExperiment(const ExperimentRef& experiment, const QString& path, bool run = false);
    // Experiments by their indexed results, each signed only where its signatures hold as the
    // report checks them (a row moved to another name, or forged, signs nothing).
    bool findExperiments(const ResultIndex::Query& query, QVector<ResultIndex::Hit>& hits);
    // Only the file's results into the index: no entry, so that rebuilding the index never vouches
    // for a file. False when it cannot be read or the store did not take them.
    bool indexResults(const QString& experiment, const QString& path);
    // ... and out of the index, once its file is deleted or renamed.
    void forgetExperiment(const QString& experiment);

    // The signed-in user signs the file as it is now, after typing their password again.
    QString sign(const ExperimentRef& experiment, const QString& path, const QString& meaning, const QString& password);
    // An administrator reopens a signed experiment; its signatures are void from then on.
    QString unlock(const ExperimentRef& experiment, const QString& reason);
    // An administrator accepts the file as it is now after a change outside the program, saying why.
    QString explainChange(const ExperimentRef& experiment, const QString& path, const QString& reason);
    // What is wrong with the experiment's records, said in red: signatures that no longer fit
    // the file or their entries, a file changed since its last audited save, a store that cannot
    // say. Empty when nothing is.
    QString warning(const ExperimentRef& experiment, const QString& path) const;
    // A change of the file since its last audited save that nobody explained; empty when none
    // (or when no save of it was recorded).
    QString fileChange(const ExperimentRef& experiment, const QString& path) const;

private:
    // Says so when the experiment's file names a store other than this one.
    QString foreignStore(const ExperimentRef& experiment) const;
    AuditEntry entryOn(const ExperimentRef& experiment) const;
    bool append(AuditEntry& entry, const QString& action, const QString& oldValue, const QString& newValue, const QString& reason);

    RecordStore mStore;
    UserDirectory mUsers;
    AuditTrail mTrail;
    Signatures mSignatures;
    ResultIndex mResults;
    EntryJournal mJournal;
    QString mMachine;
    // The role is refreshed from the store at every check of a permission.
    mutable UserAccount mAccount;
    bool mOpen = false;
    // What the store said last: a store that cannot answer for a moment does not turn users off.
    mutable bool mUsersOn = false;
};
