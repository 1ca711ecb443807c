#include "cli/IndexCommand.h"

#include "app/UI.h"
#include "cli/CliContext.h"
#include "cli/CliRecords.h"

#include <QDir>
#include <QFileInfo>

int indexCommand(const QStringList& arguments)
{
    QStringList rest = arguments;
    const QString verb = rest.size() > 1 ? rest.takeAt(1) : QString();
    CliContext cli("index " + verb, rest);
    if (verb != "rebuild")
        return cli.refuse("expected rebuild");
    cli.parser().setApplicationDescription("Indexes the results of every experiment file of the folder again; the trail is not written,\n"
                                           "so a file changed outside the program stays unexplained.");
    cli.parser().addPositionalArgument("dir", "experiment folder (default: usr_data of the working directory)", "[dir]");
    CliRecords::addOptions(cli.parser());
    if (!cli.parse(0, 1))
        return cli.parseExitCode();
    CliRecords records;
    const QString fault = records.open(cli, true, Permission::RunTests);
    if (!fault.isEmpty())
        return cli.fail(fault);
    const QDir folder(cli.positional().value(0, UI::UserDirName.arg(QDir::currentPath())));
    if (!folder.exists())
        return cli.fail(QStringLiteral("no folder %1").arg(folder.path()));
    // Experiments whose files left the folder (deleted, renamed) leave the index too.
    QStringList before;
    if (!records.session().results().indexedIn(folder.path(), before))
        return cli.fail(records.session().results().fault());
    for (const QString& name : before)
        if (!folder.exists(name + ".pcrd"))
            records.session().forgetExperiment(name);
    int indexed = 0, unreadable = 0;
    for (const QFileInfo& file : folder.entryInfoList({"*.pcrd"}, QDir::Files, QDir::Name)) {
        if (!records.session().indexResults(file.completeBaseName(), file.absoluteFilePath())) {
            cli.out() << "cannot index " << file.fileName() << ": " << records.session().results().fault() << "\n";
            ++unreadable;
            continue;
        }
        ++indexed;
    }
    cli.out() << indexed << " experiments indexed from " << folder.path() << "\n";
    return unreadable ? 1 : 0;
}
