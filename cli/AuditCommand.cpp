#include "cli/AuditCommand.h"

#include "cli/CliContext.h"
#include "cli/CliRecords.h"
#include "records/TrailAnchors.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

// One entry a line: a typed line end or tab never makes a line of its own.
QString oneLine(const QString& text)
{
    QString shown;
    for (const QChar c : text)
        shown += UserDirectory::misleads(c) ? QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0')) : QString(c);
    return shown;
}

int list(CliContext& cli, RecordSession& session)
{
    const QCommandLineParser& p = cli.parser();
    const QString experiment = p.value("experiment");
    bool limitOk = true;
    bool offsetOk = true;
    const qint64 limit = p.isSet("all") ? -1 : p.value("limit").toLongLong(&limitOk);
    const qint64 offset = p.value("offset").toLongLong(&offsetOk);
    if (!limitOk || !offsetOk || limit < -1 || offset < 0)
        return cli.refuse("--limit and --offset take whole numbers from 0");
    const QVector<AuditEntry> entries = session.trail().list(experiment.isEmpty() ? QString() : "experiment", experiment, limit, offset);
    if (p.isSet("json")) {
        QJsonArray array;
        for (const AuditEntry& e : entries)
            array.append(e.toJson());
        cli.out() << QJsonDocument(array).toJson();
        return 0;
    }
    for (const AuditEntry& e : entries) {
        cli.out() << e.id << '\t' << e.at.toString(Qt::ISODate) << '\t' << oneLine(e.user) << '@' << oneLine(e.machine) << '\t'
                  << oneLine(e.action) << '\t' << e.objectType << ':' << oneLine(e.objectName);
        if (!e.oldValue.isEmpty() || !e.newValue.isEmpty())
            cli.out() << '\t' << oneLine(e.oldValue) << " -> " << oneLine(e.newValue);
        if (!e.reason.isEmpty())
            cli.out() << QStringLiteral("\t原因：") << oneLine(e.reason);
        if (e.doneAt.isValid())
            cli.out() << QStringLiteral("\t补记：发生于") << e.doneAt.toString(Qt::ISODate);
        cli.out() << "\n";
    }
    // A list cut at its limit says so, and how to go on.
    if (limit >= 0 && entries.size() == limit)
        cli.out() << "(the first " << limit << " entries from " << offset << "; more with --offset " << offset + limit
                  << " or --all)\n";
    return 0;
}

int verify(CliContext& cli, RecordSession& session)
{
    const AuditTrail::Check check = session.trail().verify();
    if (check.brokenAt == 0 && !check.why.isEmpty())
        return cli.fail(check.why);
    int faults = 0;
    if (check.brokenAt > 0) {
        cli.out() << "the chain breaks at entry " << check.brokenAt << ": " << check.why << "\n";
        ++faults;
    }
    const QString signatures = session.signatures().verify();
    if (!signatures.isEmpty()) {
        cli.out() << "signatures differ from the trail: " << signatures << "\n";
        ++faults;
    }
    for (const QString& anchor : TrailAnchors::check(session.trail(), cli.parser().value("dir"))) {
        cli.out() << anchor << "\n";
        ++faults;
    }
    if (faults)
        return 1;
    cli.out() << check.entries << " entries, the chain holds; the last one's hash is " << check.lastHash << "\n";
    return 0;
}

// An administrator accepts an experiment file changed outside the program, with the reason.
int explain(CliContext& cli, CliRecords& records)
{
    const QString path = cli.positional().value(0);
    const QString reason = cli.parser().value("reason");
    const QString fault = records.session().explainChange(ExperimentRef::of(path), path, reason);
    if (!fault.isEmpty())
        return cli.fail(fault);
    cli.out() << QFileInfo(path).fileName() << ": the change is recorded\n";
    return 0;
}

}

int auditCommand(const QStringList& arguments)
{
    QStringList rest = arguments;
    const QString verb = rest.size() > 1 ? rest.takeAt(1) : QString();
    CliContext cli("audit " + verb, rest);
    QCommandLineParser& p = cli.parser();
    CliRecords::addOptions(p);
    int positional = 0;
    if (verb == "list")
        p.addOptions({{"experiment", "only this experiment's entries", "NAME"}, {"json", "as JSON"},
                      {"limit", "at most N entries", "N", QString::number(AuditTrail::MaxListed)},
                      {"offset", "from the K-th entry on (0 is the first)", "K", "0"}, {"all", "every entry"}});
    else if (verb == "verify")
        p.addOption({"dir", "the folder whose experiment files' anchors are checked", "DIR", "usr_data"});
    else if (verb == "explain") {
        p.addOption({"reason", "why the file was changed", "TEXT"});
        positional = 1;
    } else
        return cli.fail("expected list, verify or explain");
    if (!cli.parse(positional))
        return cli.parseExitCode();
    CliRecords records;
    const QString fault = records.open(cli, verb == "explain", Permission::Unlock);
    if (!fault.isEmpty())
        return cli.fail(fault);
    if (verb == "explain")
        return explain(cli, records);
    return verb == "list" ? list(cli, records.session()) : verify(cli, records.session());
}
