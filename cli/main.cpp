// tamarin-cli: the program's own record, analysis and instrument code without windows.
#include "cli/AnalyzeCommand.h"
#include "cli/ExportCommand.h"
#include "cli/ImportCommand.h"
#include "cli/PlanCommand.h"
#include "cli/RecoverCommand.h"
#include "cli/RunCommand.h"

#include <QCoreApplication>
#include <QTextStream>
#include <functional>

namespace {

struct Verb
{
    const char* name;
    const char* summary;
    std::function<int(const QStringList&)> run;
};

const QList<Verb>& verbs()
{
    static const QList<Verb> list = {
        {"plan", "METHOD.json [--steps]   run list and run time of a method", planCommand},
        {"analyze", "FILE.pcrd [--json] [--samples | --quant [--calibrator S] [--reference T]]\n"
                    "                                 Ct, call and Tm per used hole and channel, per sample, or quantities", analyzeCommand},
        {"export", "FILE.pcrd OUT.xlsx|OUT.rdml|OUT.csv [--melt]\n"
                   "                                 Excel report, RDML or CSV table of an experiment", exportCommand},
        {"import", "IN.rdml OUT.pcrd [--run ID]\n"
                   "                                 one run of an RDML file as an experiment for review", importCommand},
        {"run", "--method M.json --module N --name NAME [--samples LIST] [--types LIST] [--step-ms MS]\n"
                "                                 run a method on the instrument and analyse it", runCommand},
        {"recover", "[DIR]                    restore the tests a crash interrupted (usr_data)", recoverCommand},
    };
    return list;
}

int usage(QTextStream& stream)
{
    stream << "usage: tamarin-cli VERB [options] [arguments]   (VERB --help for details)\n";
    for (const Verb& verb : verbs())
        stream << "  " << verb.name << ' ' << verb.summary << "\n";
    stream.flush();
    return 2;
}

}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tamarin-cli");
    QStringList arguments = app.arguments();
    QTextStream err(stderr);
    if (arguments.size() < 2)
        return usage(err);
    const QString name = arguments.takeAt(1);
    for (const Verb& verb : verbs())
        if (name == verb.name)
            return verb.run(arguments);
    err << "tamarin-cli: unknown verb " << name << "\n";
    return usage(err);
}
