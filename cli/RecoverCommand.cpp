#include "cli/RecoverCommand.h"

#include "app/UI.h"
#include "cli/CliContext.h"
#include "cli/CliRecords.h"
#include "files/OutData.h"
#include "files/RecoveryCopy.h"

#include <QDir>
#include <QFileInfo>

int recoverCommand(const QStringList& arguments)
{
    CliContext cli("recover", arguments);
    cli.parser().setApplicationDescription("Restores the recovery copies of interrupted tests as experiment files (run incomplete).");
    cli.parser().addPositionalArgument("dir", "experiment folder (default: usr_data of the working directory)", "[dir]");
    CliRecords::addOptions(cli.parser());
    if (!cli.parse(0, 1))
        return cli.parseExitCode();
    CliRecords records;
    const QString refused = records.open(cli, true, Permission::RunTests);
    if (!refused.isEmpty())
        return cli.fail(refused);

    const QString folder = cli.positional().value(0, UI::UserDirName.arg(QDir::currentPath()));
    const QStringList copies = RecoveryCopy::pending(folder);
    if (copies.isEmpty()) {
        cli.out() << "no interrupted test in " << folder << "\n";
        return 0;
    }
    int failed = 0;
    for (const QString& copy : copies) {
        OutData data;
        const QString target = RecoveryCopy::experimentPathFor(copy);
        if (data.openAs(copy) != 0 || !RecoveryCopy::restore(copy)) {
            cli.out() << "cannot restore " << QFileInfo(copy).fileName() << "\n";
            ++failed;
            continue;
        }
        const ExperimentRef restored = ExperimentRef::of(target, data);
        records.session().recordOn(restored, "恢复", QFileInfo(copy).fileName(), QFileInfo(target).fileName());
        records.session().indexExperiment(restored, QFileInfo(target).absoluteFilePath());
        const int readings = data.pdLines.isEmpty() ? 0 : data.pdLines.first().size();
        cli.out() << "restored " << target << " (module " << data.inData.pcrNumber << ", " << readings
                  << " readings, run incomplete)\n";
    }
    return failed ? 1 : 0;
}
