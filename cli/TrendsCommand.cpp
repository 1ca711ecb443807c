#include "cli/TrendsCommand.h"

#include "analysis/ControlTrend.h"
#include "analysis/ResultText.h"
#include "cli/CliContext.h"
#include "cli/CliRecords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

QJsonValue number(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue();
}

void printJson(CliContext& cli, const ControlTrend& t)
{
    QJsonArray points;
    for (const ControlTrend::Point& p : t.points)
        points.append(QJsonObject{{"experiment", p.experiment}, {"time", p.time.toString(Qt::ISODate)}, {"ct", number(p.ct)}});
    QJsonArray violations;
    for (const ControlTrend::Violation& v : t.violations)
        violations.append(QJsonObject{{"rule", v.rule}, {"experiment", v.experiment}});
    cli.out() << QJsonDocument(QJsonObject{{"points", points},
                                           {"mean", number(t.mean)},
                                           {"sd", number(t.sd)},
                                           {"baseline", t.baseline},
                                           {"violations", violations}})
                     .toJson();
}

void printText(CliContext& cli, const ControlTrend& t)
{
    cli.out() << QStringLiteral("均值 %1  标准差 %2（%3次运行）\n").arg(ResultText::ct(t.mean), ResultText::ct(t.sd)).arg(t.baseline);
    cli.out() << QStringLiteral("实验\t时间\tCt\tSD偏离\t违反规则\n");
    for (int i = 0; i < t.points.size(); ++i) {
        const ControlTrend::Point& p = t.points[i];
        QStringList rules;
        for (const ControlTrend::Violation& v : t.violations)
            if (v.point == i)
                rules << v.rule;
        const double z = t.sd > 0 ? (p.ct - t.mean) / t.sd : qQNaN();
        cli.out() << p.experiment << '\t' << p.time.toLocalTime().toString("yyyy-MM-dd HH:mm") << '\t' << ResultText::ct(p.ct) << '\t'
                  << (std::isfinite(z) ? QString::number(z, 'f', 2) : QStringLiteral("-")) << '\t'
                  << (rules.isEmpty() ? QStringLiteral("-") : rules.join(',')) << '\n';
    }
}

}

int trendsCommand(const QStringList& arguments)
{
    CliContext cli("trends", arguments);
    QCommandLineParser& p = cli.parser();
    p.setApplicationDescription("A control's Ct over every indexed run: mean and SD from the first 20 runs (or the period "
                                "--from/--to), and the runs that break the Westgard rules 1-3s, 2-2s, R-4s, 4-1s, 10-x.");
    p.addOptions({{"sample", "the control's sample name", "NAME"},
                  {"target", "its target", "T"},
                  {"from", "first day of a fixed baseline period (YYYY-MM-DD)", "DATE"},
                  {"to", "last day of that period", "DATE"},
                  {"json", "as JSON"}});
    CliRecords::addOptions(cli.parser());
    if (!cli.parse(0))
        return cli.parseExitCode();
    if (p.value("sample").isEmpty() || p.value("target").isEmpty())
        return cli.refuse("--sample and --target are needed");
    const QDate from = QDate::fromString(p.value("from"), Qt::ISODate), to = QDate::fromString(p.value("to"), Qt::ISODate);
    if (p.isSet("from") != p.isSet("to") || (p.isSet("from") && (!from.isValid() || !to.isValid() || to < from)))
        return cli.refuse("--from and --to go together, as dates YYYY-MM-DD, the first not after the last");
    CliRecords records;
    // Results name patients' samples: with users on, only a logged-in user reads them.
    const QString fault = records.open(cli, true, Permission::RunTests);
    if (!fault.isEmpty())
        return cli.fail(fault);
    QVector<ControlTrend::Point> points;
    ResultIndex& index = records.session().results();
    if (!index.trend(p.value("sample"), p.value("target"), points))
        return cli.fail(index.fault());
    if (points.isEmpty())
        return cli.fail(QStringLiteral("no indexed run has sample %1 with target %2 (tamarin-cli index rebuild fills the index)")
                            .arg(p.value("sample"), p.value("target")));
    const ControlTrend t = p.isSet("from") ? ControlTrend::of(points, QDateTime(from, QTime(0, 0)), QDateTime(to.addDays(1), QTime(0, 0)).addMSecs(-1))
                                           : ControlTrend::of(points);
    if (p.isSet("json"))
        printJson(cli, t);
    else
        printText(cli, t);
    return 0;
}
