#include "cli/AuditCommand.h"

#include "cli/CliContext.h"
#include "cli/CliRecords.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

int list(CliContext& cli, RecordSession& session)
{
    const QCommandLineParser& p = cli.parser();
    const QString experiment = p.value("experiment");
    const QVector<AuditEntry> entries = session.trail().list(experiment.isEmpty() ? QString() : "experiment", experiment);
    if (p.isSet("json")) {
        QJsonArray array;
        for (const AuditEntry& e : entries)
            array.append(e.toJson());
        cli.out() << QJsonDocument(array).toJson();
        return 0;
    }
    for (const AuditEntry& e : entries) {
        cli.out() << e.id << '\t' << e.at.toString(Qt::ISODate) << '\t' << e.user << '@' << e.machine << '\t' << e.action
                  << '\t' << e.objectType << ':' << e.objectName;
        if (!e.oldValue.isEmpty() || !e.newValue.isEmpty())
            cli.out() << '\t' << e.oldValue << " -> " << e.newValue;
        if (!e.reason.isEmpty())
            cli.out() << QStringLiteral("\t原因：") << e.reason;
        cli.out() << "\n";
    }
    return 0;
}

int verify(CliContext& cli, RecordSession& session)
{
    const AuditTrail::Check check = session.trail().verify();
    if (check.brokenAt == 0 && check.why.isEmpty()) {
        cli.out() << check.entries << " entries, the chain holds; the last one's hash is " << check.lastHash << "\n";
        return 0;
    }
    if (check.brokenAt == 0)
        return cli.fail(check.why);
    cli.out() << "the chain breaks at entry " << check.brokenAt << ": " << check.why << "\n";
    return 1;
}

}

int auditCommand(const QStringList& arguments)
{
    QStringList rest = arguments;
    const QString verb = rest.size() > 1 ? rest.takeAt(1) : QString();
    CliContext cli("audit " + verb, rest);
    if (verb == "list")
        cli.parser().addOptions({{"experiment", "only this experiment's entries", "NAME"}, {"json", "as JSON"}});
    else if (verb != "verify")
        return cli.fail("expected list or verify");
    if (!cli.parse(0))
        return cli.parseExitCode();
    CliRecords records;
    const QString fault = records.open(cli, false);
    if (!fault.isEmpty())
        return cli.fail(fault);
    return verb == "list" ? list(cli, records.session()) : verify(cli, records.session());
}
