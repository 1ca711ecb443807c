#include "cli/AnalyzeCommand.h"

#include "cli/CliContext.h"
#include "cli/ResultTable.h"
#include "files/OutData.h"

int analyzeCommand(const QStringList& arguments)
{
    CliContext cli("analyze", arguments);
    cli.parser().setApplicationDescription("Analyses an experiment file: Ct, call and Tm per hole and channel.");
    cli.parser().addPositionalArgument("file", "experiment file (.pcrd)");
    cli.parser().addOption({"json", "every curve with its settings as used, full-precision results, flags and melt peaks"});
    cli.parser().addOption({"samples", "per sample and target: replicates, Ct mean and SD, call (with the internal control) and flags"});
    if (!cli.parse(1))
        return cli.parseExitCode();

    const QString path = cli.positional().first();
    OutData data;
    if (data.openAs(path) != 0)
        return cli.fail(QString("cannot open experiment file %1 (missing, unreadable, or damaged beyond the record limits)").arg(path));
    const bool json = cli.parser().isSet("json");
    if (cli.parser().isSet("samples"))
        json ? printSampleJson(cli.out(), data) : printSampleTable(cli.out(), data);
    else
        json ? printResultJson(cli.out(), data) : printResultTable(cli.out(), data);
    return 0;
}
