#include "cli/TypesCommand.h"

#include "cli/CliContext.h"
#include "cli/CliRecords.h"
#include "files/OutData.h"
#include "method/RunControls.h"

#include <QFileInfo>

int typesCommand(const QStringList& arguments)
{
    CliContext cli("types", arguments);
    cli.parser().setApplicationDescription("Sets the sample types of an experiment, one per sample in order: unkn, ntc, nac, ntp, nrt, pos, opt\n"
                                           "or std:QUANTITY:UNIT (std:1e5:cop); samples past the list are unknowns. Each type holds for\n"
                                           "every target (types an imported run gave some targets of their own are dropped).");
    cli.parser().addPositionalArgument("file", "experiment file (.pcrd)");
    cli.parser().addPositionalArgument("list", "the types, comma separated");
    cli.parser().addOption({"reason", "why the types change (required when users are on)", "TEXT"});
    CliRecords::addOptions(cli.parser());
    if (!cli.parse(2))
        return cli.parseExitCode();
    const QString path = cli.positional().at(0);
    OutData before;
    if (before.openAs(path) != 0)
        return cli.fail(QString("cannot open experiment file %1").arg(path));
    OutData after = before;
    QString error;
    if (!RunControls::parseTypes(cli.positional().at(1), before.inData.method.SampleNumber, after.inData.setup.sampleTypes, error))
        return cli.refuse(error);
    // A type typed here holds for every target: what a file gave some targets of their own yields.
    after.inData.setup.targetTypes.clear();

    CliRecords records;
    const QString refused = records.open(cli, true, Permission::ChangeResults);
    if (!refused.isEmpty())
        return cli.fail(refused);
    RecordSession& session = records.session();
    const ExperimentRef experiment = ExperimentRef::of(path, before);
    const QString locked = session.changeRefusal(experiment);
    if (!locked.isEmpty())
        return cli.fail(locked);
    const QString reason = cli.parser().value("reason").trimmed();
    if (session.reasonsRequired() && reason.isEmpty())
        return cli.refuse("--reason: a change of a record needs its reason while users are on");
    // The record is written only when it changes, so its date stays otherwise.
    if (after == before) {
        cli.out() << "unchanged " << path << "\n";
        return 0;
    }
    session.stamp(after);
    if (!after.saveAsFilePath(path))
        return cli.fail(QString("cannot write %1").arg(path));
    const ExperimentRef saved = ExperimentRef::of(path, after);
    // A change the trail does not take is not made.
    if (!session.recordChanges(saved, before, after, reason) || !session.indexExperiment(saved, QFileInfo(path).absoluteFilePath())) {
        before.saveAsFilePath(path);
        return cli.fail(QString("the record store did not take the change (%1); %2 is left as it was").arg(session.fault(), path));
    }
    cli.out() << "types set in " << path << "\n";
    return 0;
}
