#include "cli/AnalyzeCommand.h"

#include "cli/CliContext.h"
#include "cli/QuantOptions.h"
#include "cli/QuantReport.h"
#include "cli/ResultTable.h"
#include "files/OutData.h"

int analyzeCommand(const QStringList& arguments)
{
    CliContext cli("analyze", arguments);
    cli.parser().setApplicationDescription("Analyses an experiment file: Ct, call and Tm per hole and channel.");
    cli.parser().addPositionalArgument("file", "experiment file (.pcrd)");
    cli.parser().addOption({"json", "every curve with its settings as used, full-precision results, flags and melt peaks"});
    cli.parser().addOption({"samples", "per sample and target: replicates, Ct mean and SD, call (with the internal control) and flags"});
    cli.parser().addOption({"quant", "run validity, standard curves with efficiency, quantities and fold changes"});
    cli.parser().addOption({"calibrator", "the calibrator sample of relative quantification (instead of the file's)", "SAMPLE"});
    cli.parser().addOption({"reference", "a reference target of relative quantification (repeatable; instead of the file's)", "TARGET"});
    cli.parser().addOption({"efficiency", "a target's efficiency as a fraction (0.95) or percent (95%), instead of its standard curve's (repeatable)", "TARGET=E"});
    if (!cli.parse(1))
        return cli.parseExitCode();

    const QString path = cli.positional().first();
    OutData data;
    if (data.openAs(path) != 0)
        return cli.fail(QString("cannot open experiment file %1 (missing, unreadable, or damaged beyond the record limits)").arg(path));
    const bool json = cli.parser().isSet("json");
    QString calibrator;
    QStringList references;
    const QString wrong = QuantOptions::apply(cli.parser(), data, calibrator, references);
    if (!wrong.isEmpty())
        return cli.refuse(wrong);
    if (cli.parser().isSet("quant"))
        json ? printQuantJson(cli.out(), data, calibrator, references) : printQuantTables(cli.out(), data, calibrator, references);
    else if (cli.parser().isSet("samples"))
        json ? printSampleJson(cli.out(), data) : printSampleTable(cli.out(), data);
    else
        json ? printResultJson(cli.out(), data) : printResultTable(cli.out(), data);
    return 0;
}
