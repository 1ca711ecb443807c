#include "cli/UsersCommand.h"

#include "cli/CliContext.h"
#include "cli/CliRecords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

int init(CliContext& cli, CliRecords& records)
{
    QCommandLineParser& p = cli.parser();
    p.addOptions({{"admin", "the first administrator's user name", "NAME"},
                  {"full-name", "the name signatures show", "TEXT"},
                  {"password-stdin", "read the administrator's password from standard input"}});
    if (!cli.parse(0))
        return cli.parseExitCode();
    if (!p.isSet("admin") || !p.isSet("password-stdin"))
        return cli.fail("give --admin NAME and --password-stdin");
    QString fault = records.open(cli, false);
    const QString password = CliRecords::readPassword();
    if (fault.isEmpty())
        fault = records.session().users().init(p.value("admin"), p.value("full-name"), password);
    if (!fault.isEmpty())
        return cli.fail(fault);
    // The trail is to name who turned users on.
    records.session().login(p.value("admin"), password);
    records.session().record("启用用户管理", "user", p.value("admin"), QString(), "admin");
    cli.out() << "users are on; administrator " << p.value("admin") << "\n";
    return 0;
}

int list(CliContext& cli, CliRecords& records)
{
    cli.parser().addOption({"json", "as JSON"});
    if (!cli.parse(0))
        return cli.parseExitCode();
    const QString fault = records.open(cli, false);
    if (!fault.isEmpty())
        return cli.fail(fault);
    const QVector<UserAccount> accounts = records.session().users().list();
    if (cli.parser().isSet("json")) {
        QJsonArray array;
        for (const UserAccount& a : accounts)
            array.append(QJsonObject{{"name", a.name}, {"fullName", a.fullName}, {"role", Roles::code(a.role)},
                                     {"enabled", a.enabled}, {"locked", a.failed >= UserDirectory::MaxFailedLogins}});
        cli.out() << QJsonDocument(QJsonObject{{"usersOn", records.session().usersOn()}, {"users", array}}).toJson();
        return 0;
    }
    cli.out() << (records.session().usersOn() ? "users are on\n" : "users are off\n");
    for (const UserAccount& a : accounts)
        cli.out() << a.name << '\t' << a.fullName << '\t' << Roles::code(a.role) << '\t'
                  << (!a.enabled ? "disabled" : a.failed >= UserDirectory::MaxFailedLogins ? "locked" : "enabled") << "\n";
    return 0;
}

// add, disable, enable, unlock and passwd: an administrator acts (or, for passwd, the user on
// their own account).
int change(const QString& verb, CliContext& cli, CliRecords& records)
{
    QCommandLineParser& p = cli.parser();
    if (verb == "add")
        p.addOptions({{"role", "admin, reviewer or operator", "ROLE", "operator"}, {"full-name", "the name signatures show", "TEXT"}});
    if (!cli.parse(1))
        return cli.parseExitCode();
    const QString name = cli.positional().first();
    RecordSession& session = records.session();
    QString fault = records.open(cli, false);
    if (fault.isEmpty() && !session.usersOn())
        fault = "users are off: turn them on with users init";
    if (fault.isEmpty() && !session.signedIn())
        fault = "give --user NAME and --password-stdin";
    const bool own = verb == "passwd" && session.account().name == name;
    if (fault.isEmpty() && !own) {
        fault = session.refusal(Permission::ManageUsers);
        if (!fault.isEmpty())
            session.record("拒绝", "session", session.actor(), QString(), fault);
    }
    Role role = Role::Operator;
    if (fault.isEmpty() && verb == "add" && !Roles::fromCode(p.value("role"), role))
        fault = "--role must be one of " + Roles::codes().join(", ");
    if (fault.isEmpty()) {
        if (verb == "add")
            fault = session.users().add(name, p.value("full-name"), role, CliRecords::readPassword());
        else if (verb == "disable" || verb == "enable")
            fault = session.users().setEnabled(name, verb == "enable");
        else if (verb == "unlock")
            fault = session.users().unlock(name);
        else
            fault = session.users().setPassword(name, CliRecords::readPassword());
    }
    if (!fault.isEmpty())
        return cli.fail(fault);
    const QString action = verb == "add"       ? "添加用户"
                           : verb == "disable" ? "停用用户"
                           : verb == "enable"  ? "启用用户"
                           : verb == "unlock"  ? "解锁用户"
                                               : "修改密码";
    session.record(action, "user", name, QString(), verb == "add" ? Roles::code(role) : QString());
    cli.out() << verb << ' ' << name << ": done\n";
    return 0;
}

}

int usersCommand(const QStringList& arguments)
{
    QStringList rest = arguments;
    const QString verb = rest.size() > 1 ? rest.takeAt(1) : QString();
    CliContext cli("users " + verb, rest);
    CliRecords records;
    if (verb == "init")
        return init(cli, records);
    if (verb == "list")
        return list(cli, records);
    if (verb == "add" || verb == "disable" || verb == "enable" || verb == "unlock" || verb == "passwd") {
        CliRecords::addOptions(cli.parser());
        return change(verb, cli, records);
    }
    return cli.fail("expected init, add, disable, enable, unlock, passwd or list");
}
