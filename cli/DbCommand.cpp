#include "cli/DbCommand.h"

#include "cli/CliContext.h"
#include "cli/CliRecords.h"
#include "records/RecordStore.h"
#include "records/StoreSetup.h"

#include <QUrl>

int dbCommand(const QStringList& arguments)
{
    QStringList rest = arguments;
    const QString verb = rest.size() > 1 ? rest.takeAt(1) : QString();
    CliContext cli("db " + verb, rest);
    if (verb != "setup")
        return cli.fail("expected setup");
    cli.parser().addOptions({{"owner", "the database owner's URL (postgresql://OWNER@HOST:PORT/DB)", "URL"},
                             {"app-role", "the login role the program runs as; its new password is read from standard input", "NAME"}});
    if (!cli.parse(0))
        return cli.parseExitCode();
    const QString role = cli.parser().value("app-role");
    RecordStore owner(cli.parser().value("owner"));
    if (!owner.isPostgres())
        return cli.refuse("--owner: a postgresql:// URL");
    if (!owner.open())
        return cli.fail(QString("the store %1 cannot be set up: %2").arg(owner.describe(), owner.fault()));
    const QString fault = StoreSetup::grantProgramRole(owner, role, CliRecords::readPassword());
    if (!fault.isEmpty())
        return cli.fail(fault);
    QUrl program(cli.parser().value("owner"));
    program.setUserName(role);
    program.setPassword(QString());
    const int port = program.port(5432);
    cli.out() << "store " << owner.id() << " is set up; the program runs as " << role << ":\n"
              << "  settings.ini  [DB] URL=" << program.toString() << "\n"
              << "  password file (PGPASSFILE, owner-only): " << program.host() << ':' << port << ':' << program.path().mid(1)
              << ':' << role << ":PASSWORD\n";
    return 0;
}
