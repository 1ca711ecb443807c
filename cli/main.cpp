// tamarin-cli: the program's own record, analysis and instrument code without windows.
#include "cli/AnalyzeCommand.h"
#include "cli/AuditCommand.h"
#include "cli/DbCommand.h"
#include "cli/ExportCommand.h"
#include "cli/ImportCommand.h"
#include "cli/IndexCommand.h"
#include "cli/PlanCommand.h"
#include "cli/RecoverCommand.h"
#include "cli/ReportCommand.h"
#include "cli/RunCommand.h"
#include "cli/SearchCommand.h"
#include "cli/TrendsCommand.h"
#include "cli/TypesCommand.h"
#include "cli/UsersCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <functional>
#include <memory>

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
        {"export", "FILE.pcrd OUT.xlsx|OUT.rdml|OUT.csv|OUT.hl7 [--melt]\n"
                   "                                 Excel report, RDML, CSV table or HL7 results of an experiment", exportCommand},
        {"import", "IN.rdml OUT.pcrd [--run ID]\n"
                   "                                 one run of an RDML file as an experiment for review", importCommand},
        {"run", "--method M.json --module N --name NAME [--samples LIST --types LIST | --sample-sheet FILE] [--step-ms MS]\n"
                "                                 run a method on the instrument and analyse it", runCommand},
        {"types", "FILE.pcrd LIST [--reason TEXT]\n"
                  "                                 set the sample types (unkn,ntc,pos,std:1e5:cop,...) of an experiment", typesCommand},
        {"recover", "[DIR]                    restore the tests a crash interrupted (usr_data)", recoverCommand},
        {"report", "FILE.pcrd OUT.pdf         the experiment's printed report (PDF)", reportCommand},
        {"sign", "FILE.pcrd --meaning 审核|批准 --user NAME --password-stdin\n"
                 "                                 sign an experiment's results; it is locked from then on", signCommand},
        {"users", "init|add|disable|enable|unlock|passwd|list  the named users (init --admin NAME turns them on)", usersCommand},
        {"audit", "list [--experiment NAME] [--json] [--limit N --offset K | --all] | verify [--dir DIR]\n"
                  "                                 | explain FILE.pcrd --reason TEXT\n"
                  "                                 the audit trail, whether it holds, and a file change accepted", auditCommand},
        {"db", "setup --owner URL --app-role NAME   a lab's PostgreSQL store and the program's role (password on stdin)", dbCommand},
        {"search", "[--sample S] [--target T] [--call C] [--from DATE] [--to DATE] [--operator U] [--signed|--unsigned] [--json]\n"
                   "                                 experiments found by their indexed results", searchCommand},
        {"trends", "--sample NAME --target T [--from DATE --to DATE] [--json]\n"
                   "                                 a control's Ct over runs (Levey–Jennings) and Westgard rule breaks", trendsCommand},
        {"index", "rebuild [DIR]            fill the store's index from the experiment files (usr_data)", indexCommand},
    };
    return list;
}

// The summaries hold Chinese words: read as UTF-8, never as Latin-1.
void usage(QTextStream& stream)
{
    stream << "usage: tamarin-cli VERB [options] [arguments]   (VERB --help for details)\n";
    for (const Verb& verb : verbs())
        stream << "  " << verb.name << ' ' << QString::fromUtf8(verb.summary) << "\n";
    stream.flush();
}

}

int main(int argc, char* argv[])
{
    // A printed report lays out text, which takes the fonts of a GUI application; no display is needed.
    const bool prints = argc > 1 && qstrcmp(argv[1], "report") == 0;
    if (prints && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app(prints ? new QGuiApplication(argc, argv) : new QCoreApplication(argc, argv));
    QCoreApplication::setApplicationName("tamarin-cli");
    QStringList arguments = app->arguments();
    QTextStream err(stderr);
    if (arguments.size() < 2) {
        usage(err);
        return 2;
    }
    const QString name = arguments.takeAt(1);
    if (name == "--help" || name == "-h" || name == "help") {
        QTextStream out(stdout);
        usage(out);
        return 0;
    }
    for (const Verb& verb : verbs())
        if (name == verb.name)
            return verb.run(arguments);
    err << "tamarin-cli: unknown verb " << name << "\n";
    usage(err);
    return 2;
}
