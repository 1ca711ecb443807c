#include "cli/ReportCommand.h"

#include "app/Settings.h"
#include "app/UI.h"
#include "cli/CliContext.h"
#include "cli/CliRecords.h"
#include "files/OutData.h"
#include "records/ReportRecords.h"

#include <QFileInfo>

namespace {

// Parses the arguments and reads the experiment file named first; empty, with the exit code
// set (after saying why), when the verb is to end at once.
QString readExperiment(CliContext& cli, int positional, OutData& data, int& exitCode)
{
    if (!cli.parse(positional)) {
        exitCode = cli.parseExitCode();
        return QString();
    }
    const QString path = cli.positional().at(0);
    if (data.openAs(path) == 0)
        return path;
    exitCode = cli.fail(QString("cannot read experiment file %1").arg(path));
    return QString();
}

}

int reportCommand(const QStringList& arguments)
{
    CliContext cli("report", arguments);
    CliRecords::addOptions(cli.parser());
    cli.parser().setApplicationDescription("Writes the experiment's report as PDF: facts, charts, results and signatures.");
    cli.parser().addPositionalArgument("file", "experiment file (.pcrd)");
    cli.parser().addPositionalArgument("out", "report file (.pdf)");
    OutData data;
    int exitCode = 0;
    const QString path = readExperiment(cli, 2, data, exitCode);
    if (path.isEmpty())
        return exitCode;
    CliRecords records;
    // With users on, a report names who printed it: it needs a login like any other record.
    QString fault = records.open(cli, true, Permission::RunTests);
    if (!fault.isEmpty())
        return cli.fail(fault);
    const ExperimentRef name = ExperimentRef::of(path, data);
    const ReportFacts facts = ReportRecords::facts(records.session(), name, path,
                                                   Settings(UI::SettingsFile, QSettings::IniFormat).getReportHeader());
    const QString out = cli.positional().at(1);
    fault = PdfReport::write(data, facts, out);
    if (!fault.isEmpty())
        return cli.fail(fault);
    // Nothing leaves unrecorded: a report whose entry the store did not take is taken back.
    if (!records.session().recordOn(name, "导出", QString(), "PDF " + QFileInfo(out).fileName())) {
        QFile::remove(out);
        return cli.fail(QString("the store did not take the entry (%1); %2 not written").arg(records.session().fault(), out));
    }
    cli.out() << "written " << out << "\n";
    if (!facts.warning.isEmpty())
        cli.out() << facts.warning << "\n";
    return 0;
}

int signCommand(const QStringList& arguments)
{
    CliContext cli("sign", arguments);
    CliRecords::addOptions(cli.parser());
    cli.parser().setApplicationDescription("Signs the experiment's results as the user of --user; the experiment is then locked.");
    cli.parser().addOption({"meaning", "审核 (reviewed) or 批准 (approved)", "MEANING"});
    cli.parser().addPositionalArgument("file", "experiment file (.pcrd)");
    OutData data;
    int exitCode = 0;
    const QString path = readExperiment(cli, 1, data, exitCode);
    if (path.isEmpty())
        return exitCode;
    CliRecords records;
    QString fault = records.open(cli, true, Permission::Sign);
    const ExperimentRef name = ExperimentRef::of(path, data);
    // Signing asks for the password once more, as in the window: the same line serves both.
    if (fault.isEmpty())
        fault = records.session().sign(name, path, cli.parser().value("meaning"), records.lastPassword());
    if (!fault.isEmpty())
        return cli.fail(fault);
    cli.out() << name.name << " signed: " << cli.parser().value("meaning") << " by " << records.session().account().fullName << "\n";
    // An approval sends the results on; the signature holds whether or not they could be sent.
    const bool approved = LisDelivery::sends(cli.parser().value("meaning"));
    return !approved || records.deliverToLis(cli, path, LisDelivery::Moment::Approved) ? 0 : 1;
}
