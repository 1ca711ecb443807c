#include "cli/ExportCommand.h"

#include "cli/CliContext.h"
#include "files/ExcelControl.h"

int exportCommand(const QStringList& arguments)
{
    CliContext cli("export", arguments);
    cli.parser().setApplicationDescription("Writes the Excel report (sheets info, out, origin) of an experiment file.");
    cli.parser().addPositionalArgument("file", "experiment file (.pcrd)");
    cli.parser().addPositionalArgument("report", "workbook to write (.xlsx)");
    if (!cli.parse(2))
        return cli.parseExitCode();

    const QString in = cli.positional().at(0);
    const QString out = cli.positional().at(1);
    OutData data;
    if (data.openAs(in) != 0)
        return cli.fail(QString("cannot open experiment file %1 (missing, unreadable, or damaged beyond the record limits)").arg(in));
    if (!ExcelControl().saveAsExcel(data, out))
        return cli.fail(QString("cannot write report %1").arg(out));
    cli.out() << "wrote " << out << "\n";
    return 0;
}
