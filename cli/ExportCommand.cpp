#include "cli/ExportCommand.h"

#include "app/Settings.h"
#include "app/UI.h"
#include "cli/CliContext.h"
#include "cli/CliRecords.h"
#include "files/ExperimentExport.h"
#include "files/LisOptions.h"
#include "files/LisOutbox.h"
#include "files/OutData.h"
#include "records/ReportRecords.h"

#include <QFileInfo>

namespace {

// The results as the LIS takes them, with the signatures the store holds and the lab's LIS
// settings; refused like the drop folder refuses them.
QString writeHl7(CliRecords& records, const OutData& data, const QString& in, const QString& out)
{
    const Settings settings(UI::SettingsFile, QSettings::IniFormat);
    const ReportFacts facts = ReportRecords::facts(records.session(), ExperimentRef::of(in, data), in, settings.getReportHeader());
    return LisOutbox::write(data, facts, LisOptions::from(settings), out);
}

}

int exportCommand(const QStringList& arguments)
{
    CliContext cli("export", arguments);
    cli.parser().setApplicationDescription("Writes an experiment file as the Excel report (.xlsx: sheets info, out, origin, samples),\n"
                                           "RDML 1.3 (.rdml), a CSV table (.csv) or an HL7 v2.5.1 ORU^R01 message for a LIS (.hl7);\n"
                                           "the suffix chooses.");
    cli.parser().addPositionalArgument("file", "experiment file (.pcrd)");
    cli.parser().addPositionalArgument("out", "file to write (.xlsx, .rdml, .csv or .hl7)");
    cli.parser().addOption({"melt", "CSV: the melt readings instead of the amplification readings"});
    CliRecords::addOptions(cli.parser());
    if (!cli.parse(2))
        return cli.parseExitCode();

    const QString in = cli.positional().at(0);
    const QString out = cli.positional().at(1);
    const bool hl7 = QFileInfo(out).suffix().compare("hl7", Qt::CaseInsensitive) == 0;
    ExperimentExport::Format format;
    if (!hl7 && !ExperimentExport::formatOf(out, format))
        return cli.refuse(QString("unknown format .%1: the file to write ends in .xlsx, .rdml, .csv or .hl7").arg(QFileInfo(out).suffix()));
    OutData data;
    if (data.openAs(in) != 0)
        return cli.fail(QString("cannot open experiment file %1 (missing, unreadable, or damaged beyond the record limits)").arg(in));
    // With users on, whoever exports says who they are first: nothing leaves unrecorded.
    CliRecords records;
    QString fault = records.open(cli, true, Permission::RunTests);
    if (!fault.isEmpty())
        return cli.fail(fault);
    const ExperimentRef experiment = ExperimentRef::of(in, data);
    if (hl7)
        fault = writeHl7(records, data, in, out);
    else if (!ExperimentExport::write(data, format, out, experiment.name, cli.parser().isSet("melt"),
                                      ReportRecords::exportRows(records.session(), experiment, in)))
        fault = QString("cannot write %1").arg(out);
    if (!fault.isEmpty())
        return cli.fail(fault);
    // Nothing leaves unrecorded: an export whose entry the store did not take is taken back.
    if (!records.session().recordOn(experiment, "导出", QString(), QFileInfo(out).fileName())) {
        QFile::remove(out);
        return cli.fail(QString("the store did not take the entry (%1); %2 not written").arg(records.session().fault(), out));
    }
    cli.out() << "wrote " << out << "\n";
    return 0;
}
