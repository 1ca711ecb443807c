#include "cli/ImportCommand.h"

#include "cli/CliContext.h"
#include "cli/CliRecords.h"
#include "files/RdmlImport.h"

#include <QFile>
#include <QFileInfo>

int importCommand(const QStringList& arguments)
{
    CliContext cli("import", arguments);
    cli.parser().setApplicationDescription("Stores one run of an RDML file (.rdml, .rdm or plain .xml; RDML 1.1 to 1.4)\n"
                                           "as an experiment file for review. An existing file is never replaced.");
    cli.parser().addPositionalArgument("in", "RDML file");
    cli.parser().addPositionalArgument("out", "experiment file to write (.pcrd)");
    cli.parser().addOption({"run", "the run to import (its id, or EXPERIMENT/RUN) when the file has several", "ID"});
    cli.parser().addOption({"wells", "the reactions to take from a larger plate (at most 26): well names or reaction numbers with ranges, e.g. A1-A12,B1 or 1-26", "LIST"});
    CliRecords::addOptions(cli.parser());
    if (!cli.parse(2))
        return cli.parseExitCode();
    CliRecords records;
    const QString refused = records.open(cli, true, Permission::RunTests);
    if (!refused.isEmpty())
        return cli.fail(refused);

    const QString in = cli.positional().at(0);
    const QString out = cli.positional().at(1);
    if (QFileInfo(out).suffix().compare("pcrd", Qt::CaseInsensitive) != 0)
        return cli.fail(QString("%1: an experiment file ends in .pcrd").arg(out));
    if (QFileInfo::exists(out))
        return cli.fail(QString("%1 exists; an experiment file is never replaced").arg(out));
    RdmlReader file;
    if (!file.read(in))
        return cli.fail(QString("cannot import %1: %2").arg(in, file.error()));
    const bool chosen = cli.parser().isSet("run");
    int run = file.runs().size() == 1 && !chosen ? 0 : -1;
    QStringList names;
    for (int i = 0; i < file.runs().size(); ++i) {
        names << file.runs()[i].name();
        if (cli.parser().isSet("run") && (file.runs()[i].id == cli.parser().value("run") || names.last() == cli.parser().value("run")))
            run = i;
    }
    if (run < 0 && chosen)
        return cli.fail(QString("%1 holds no run %2; its runs: %3").arg(in, cli.parser().value("run"), names.join(", ")));
    if (run < 0) {
        cli.fail(QString("%1 holds several runs; choose one with --run: %2").arg(in, names.join(", ")));
        return 2;
    }
    QVector<int> wells;
    QString why;
    if (cli.parser().isSet("wells") && !RdmlImport::parseWells(cli.parser().value("wells"), file.runs()[run].columns, wells, why))
        return cli.fail(QString("--wells: %1").arg(why));
    OutData data;
    if (!RdmlImport::toOutData(file, run, data, why, wells))
        return cli.fail(QString("cannot import %1: %2").arg(in, why));
    records.session().stamp(data);
    if (!data.saveAsFilePath(out))
        return cli.fail(QString("cannot write %1").arg(out));
    const ExperimentRef experiment = ExperimentRef::of(out, data);
    // An import the trail does not take is not made.
    if (!records.session().recordOn(experiment, "导入", QString(), QFileInfo(in).fileName() + " " + names[run])
        || !records.session().indexExperiment(experiment, QFileInfo(out).absoluteFilePath())) {
        QFile::remove(out);
        return cli.fail(QString("the record store did not take the import (%1); %2 is not kept").arg(records.session().fault(), out));
    }
    cli.out() << "wrote " << out << " (run " << names[run] << ")\n";
    return 0;
}
