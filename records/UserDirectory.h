#pragma once

#include "records/Roles.h"

#include <QString>
#include <QVector>

class RecordStore;

struct UserAccount
{
    QString name;     // what is typed at login
    QString fullName; // what a signature shows; the login name when none was given
    Role role = Role::Operator;
    bool enabled = true;
    int failed = 0;   // failed logins since the last good one
};

// The named users of the store. Users are off until the first administrator is made; then every
// start asks for a login. Five failed logins in a row lock an account until an administrator sets
// its password again.
class UserDirectory
{
public:
    static constexpr int MaxFailedLogins = 5;
    static constexpr int MinPasswordLength = 8;
    static constexpr int MaxNameLength = 64;

    explicit UserDirectory(RecordStore& store);

    // ok (when given) says whether the store could answer.
    bool usersOn(bool* ok = nullptr) const;
    // Each returns empty on success, otherwise why not, as a person reads it.
    QString init(const QString& admin, const QString& fullName, const QString& password);
    QString add(const QString& name, const QString& fullName, Role role, const QString& password);
    // A disabled user keeps their name in the trail and on signatures; enabled again, they log in as before.
    QString setEnabled(const QString& name, bool enabled);
    // A new password also lifts a lock after failed logins.
    QString setPassword(const QString& name, const QString& password);
    // Lifts the lock after failed logins; the password stays.
    QString unlock(const QString& name);
    // 1 to MaxNameLength characters, none of them one that misleads (a line end, a tab, an override).
    static bool acceptableName(const QString& name);
    // A character that changes how the text around it reads: a control, a format character (a
    // direction override) or a line or paragraph separator.
    static bool misleads(QChar c);

    QVector<UserAccount> list() const;
    bool find(const QString& name, UserAccount& out) const;

    enum class Login { Ok, Unknown, WrongPassword, Locked, Disabled };
    // Counts every try against the account before looking at the password; a good one clears
    // the count. A name that is not acceptable is unknown without a look-up.
    Login check(const QString& name, const QString& password, UserAccount* account = nullptr);

private:
    QString validNew(const QString& name, const QString& password) const;

    RecordStore& mStore;
};
