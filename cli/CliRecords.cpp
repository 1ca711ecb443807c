#include "cli/CliRecords.h"

#include "app/Settings.h"
#include "platform/MachineSettings.h"
#include "app/UI.h"
#include "cli/CliContext.h"
#include "platform/HiddenInput.h"

#include <QTextStream>

#include <cstdio>

void CliRecords::addOptions(QCommandLineParser& parser)
{
    parser.addOptions({{"user", "who acts, when users are on", "NAME"},
                       {"password-stdin", "read the password from standard input (one line per password asked)"}});
}

CliRecords::CliRecords()
    : mSession(Settings::recordStore(Platform::machineSettingsFile(), UI::SettingsFile))
{
}

QString CliRecords::readPassword()
{
    static QTextStream in(stdin);
    in.setCodec("UTF-8");
    const HiddenInput hidden;
    if (hidden.isTerminal()) {
        std::fputs("密码：", stderr);
        std::fflush(stderr);
    }
    QString line = in.readLine(4096);
    if (hidden.isTerminal())
        std::fputs("\n", stderr);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

QString CliRecords::open(CliContext& cli, bool needsUser, Permission permission)
{
    if (!mSession.open())
        return QString("the record store %1 cannot be opened: %2").arg(mSession.store().describe(), mSession.fault());
    QCommandLineParser& p = cli.parser();
    const bool named = p.optionNames().contains("user");
    if (!mSession.usersOn() || (!needsUser && !named))
        return QString();
    if (!named || !p.optionNames().contains("password-stdin"))
        return "users are on: give --user NAME and --password-stdin";
    mPassword = readPassword();
    const QString fault = mSession.login(p.value("user"), mPassword);
    if (!fault.isEmpty())
        return fault;
    const QString refused = needsUser ? mSession.refusal(permission) : QString();
    if (!refused.isEmpty())
        mSession.record("拒绝", "session", mSession.actor(), QString(), refused);
    return refused;
}

bool CliRecords::deliverToLis(CliContext& cli, const QString& path, LisDelivery::Moment moment)
{
    bool sent = false;
    const QString said = LisDelivery::deliver(mSession, Settings(UI::SettingsFile, QSettings::IniFormat), path, moment, sent);
    if (said.isEmpty())
        return true;
    if (!sent)
        return cli.fail(said) == 0;
    cli.out() << said << "\n";
    return true;
}
