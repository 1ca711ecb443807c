#include "cli/SearchCommand.h"

#include "analysis/SampleResults.h"
#include "cli/CliContext.h"
#include "cli/CliRecords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A call as scripts write it (POS, NEG, INV) or as the tables do.
QString callOf(const QString& typed)
{
    const QString upper = typed.toUpper();
    if (upper == "POS" || typed == QStringLiteral("阳性"))
        return QStringLiteral("阳性");
    if (upper == "NEG" || typed == QStringLiteral("阴性"))
        return QStringLiteral("阴性");
    if (upper == "INV" || typed == SampleResults::invalid())
        return SampleResults::invalid();
    return QString();
}

}

int searchCommand(const QStringList& arguments)
{
    CliContext cli("search", arguments);
    QCommandLineParser& p = cli.parser();
    p.setApplicationDescription("Experiments whose indexed results match every criterion given, newest first.");
    p.addOptions({{"sample", "a part of a sample name (any case)", "S"},
                  {"target", "a target", "T"},
                  {"call", "a call: POS|NEG|INV (阳性|阴性|无效)", "C"},
                  {"from", "runs on or after this day (YYYY-MM-DD)", "DATE"},
                  {"to", "runs on or before this day", "DATE"},
                  {"operator", "a part of the name of who made the experiment", "U"},
                  {"signed", "only signed experiments"},
                  {"unsigned", "only experiments without a valid signature"},
                  {"limit", "at most this many (default 500)", "N", "500"},
                  {"json", "as JSON"}});
    CliRecords::addOptions(cli.parser());
    if (!cli.parse(0))
        return cli.parseExitCode();
    ResultIndex::Query q;
    q.sample = p.value("sample");
    q.target = p.value("target");
    q.madeBy = p.value("operator");
    if (p.isSet("call") && (q.call = callOf(p.value("call"))).isEmpty())
        return cli.refuse(QStringLiteral("--call: %1 is no call (POS, NEG or INV)").arg(p.value("call")));
    for (const char* name : {"from", "to"}) {
        const QDate day = QDate::fromString(p.value(name), Qt::ISODate);
        if (p.isSet(name) && !day.isValid())
            return cli.refuse(QStringLiteral("--%1: %2 is no date (YYYY-MM-DD)").arg(name, p.value(name)));
        (qstrcmp(name, "from") == 0 ? q.from : q.to) = day;
    }
    if (p.isSet("signed") && p.isSet("unsigned"))
        return cli.refuse("--signed and --unsigned exclude each other");
    q.signedState = p.isSet("signed") ? 1 : p.isSet("unsigned") ? 0 : -1;
    bool ok = false;
    q.limit = p.value("limit").toInt(&ok);
    if (!ok || q.limit < 1 || q.limit > 100000)
        return cli.refuse("--limit: a number from 1 to 100000");
    CliRecords records;
    // Results name patients' samples: with users on, only a logged-in user reads them.
    const QString fault = records.open(cli, true, Permission::RunTests);
    if (!fault.isEmpty())
        return cli.fail(fault);
    QVector<ResultIndex::Hit> hits;
    if (!records.session().findExperiments(q, hits))
        return cli.fail(records.session().results().fault());
    if (p.isSet("json")) {
        QJsonArray array;
        for (const ResultIndex::Hit& h : hits)
            array.append(QJsonObject{{"experiment", h.experiment}, {"time", h.time.toString(Qt::ISODate)}, {"operator", h.madeBy},
                                     {"signed", h.isSigned}});
        cli.out() << QJsonDocument(array).toJson();
        return 0;
    }
    for (const ResultIndex::Hit& h : hits)
        cli.out() << h.experiment << '\t' << h.time.toLocalTime().toString("yyyy-MM-dd HH:mm") << '\t' << h.madeBy << '\t'
                  << (h.isSigned ? QStringLiteral("已签名") : QStringLiteral("未签名")) << '\n';
    cli.out() << hits.size() << (hits.size() == q.limit ? " experiments (the limit; more may match)\n" : " experiments\n");
    return 0;
}
