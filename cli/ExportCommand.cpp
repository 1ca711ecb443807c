#include "cli/ExportCommand.h"

#include "cli/CliContext.h"
#include "cli/CliRecords.h"
#include "files/ExperimentExport.h"
#include "files/OutData.h"
#include "records/ReportRecords.h"

#include <QFileInfo>

int exportCommand(const QStringList& arguments)
{
    CliContext cli("export", arguments);
    cli.parser().setApplicationDescription("Writes an experiment file as the Excel report (.xlsx: sheets info, out, origin, samples),\n"
                                           "RDML 1.3 (.rdml) or a CSV table (.csv); the suffix chooses.");
    cli.parser().addPositionalArgument("file", "experiment file (.pcrd)");
    cli.parser().addPositionalArgument("out", "file to write (.xlsx, .rdml or .csv)");
    cli.parser().addOption({"melt", "CSV: the melt readings instead of the amplification readings"});
    CliRecords::addOptions(cli.parser());
    if (!cli.parse(2))
        return cli.parseExitCode();

    const QString in = cli.positional().at(0);
    const QString out = cli.positional().at(1);
    ExperimentExport::Format format;
    if (!ExperimentExport::formatOf(out, format)) {
        cli.fail(QString("unknown format .%1: the file to write ends in .xlsx, .rdml or .csv").arg(QFileInfo(out).suffix()));
        return 2;
    }
    OutData data;
    if (data.openAs(in) != 0)
        return cli.fail(QString("cannot open experiment file %1 (missing, unreadable, or damaged beyond the record limits)").arg(in));
    // With users on, whoever exports says who they are first: nothing leaves unrecorded.
    CliRecords records;
    const QString fault = records.open(cli, true, Permission::RunTests);
    if (!fault.isEmpty())
        return cli.fail(fault);
    const ExperimentRef experiment = ExperimentRef::of(in, data);
    if (!ExperimentExport::write(data, format, out, experiment.name, cli.parser().isSet("melt"),
                                 ReportRecords::exportRows(records.session(), experiment, in)))
        return cli.fail(QString("cannot write %1").arg(out));
    records.session().recordOn(experiment, "导出", QString(), QFileInfo(out).fileName());
    cli.out() << "wrote " << out << "\n";
    return 0;
}
