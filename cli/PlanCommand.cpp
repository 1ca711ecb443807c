#include "cli/PlanCommand.h"

#include "app/ZTo.h"
#include "cli/CliContext.h"
#include "method/JsonControl.h"
#include "method/ProgramCheck.h"

int planCommand(const QStringList& arguments)
{
    CliContext cli("plan", arguments);
    cli.parser().setApplicationDescription("Shows the steps a method plays and how long it runs.");
    cli.parser().addPositionalArgument("method", "method file (.json)");
    cli.parser().addOption({"steps", "list every step of the run"});
    if (!cli.parse(1))
        return cli.parseExitCode();

    SMethod method;
    const QString path = cli.positional().first();
    if (!JsonControl().openJsonMethod(path, method))
        return cli.fail(QString("cannot read method file %1").arg(path));
    const QString fault = programFault(method);
    if (!fault.isEmpty())
        return cli.fail(fault);

    const QStack<ControlElement> steps = method.getAllRunCmd();
    QTextStream& out = cli.out();
    out << "method: " << method.Name << "\n";
    out << "steps: " << steps.size() << "\n";
    out << "time: " << ZTo::secondToTimeString(steps.size()) << "\n";
    if (cli.parser().isSet("steps")) {
        for (const ControlElement& e : steps) {
            out << controlKindName(e.kind);
            if (e.kind == SET_TEMP_All || e.kind == SET_TEMP_UP || e.kind == SET_TEMP_DOWN)
                out << ' ' << QString::number(e.upTemp, 'f', 2) << ' ' << QString::number(e.downTemp, 'f', 2);
            out << "\n";
        }
    }
    return 0;
}
