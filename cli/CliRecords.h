#pragma once

#include "records/LisDelivery.h"
#include "records/RecordSession.h"

class CliContext;
class QCommandLineParser;

// The record store as the program uses it (ini/settings.ini's "DB/URL", else records.sqlite in
// the working directory), and who acts: with users on, a verb that changes a record signs in the
// user of --user with the password read from standard input (--password-stdin), one line each
// time a password is asked.
class CliRecords
{
public:
    static void addOptions(QCommandLineParser& parser);

    CliRecords();
    // Opens the store; with users on and a permission needed, signs in and checks it. Empty on
    // success, otherwise the failure to print.
    QString open(CliContext& cli, bool needsUser, Permission permission = Permission::RunTests);
    RecordSession& session() { return mSession; }
    // The next line of standard input, without its line end; empty at the end of input.
    static QString readPassword();
    // The password the sign-in read, for a verb that asks for it again (a signature).
    QString lastPassword() const { return mPassword; }
    // Sends the experiment's results to the LIS when the settings ask for it at this moment, and
    // says what happened (a refusal on stderr); false when they were to go and did not.
    bool deliverToLis(CliContext& cli, const QString& path, LisDelivery::Moment moment);

private:
    RecordSession mSession;
    QString mPassword;
};
