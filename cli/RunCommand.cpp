#include "cli/RunCommand.h"

#include "app/UI.h"
#include "app/ExperimentName.h"
#include "cli/CliContext.h"
#include "cli/CliRecords.h"
#include "cli/ResultTable.h"
#include "cli/RunSession.h"
#include "files/SampleSheet.h"
#include "method/JsonControl.h"
#include "method/ProgramCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onInterrupt(int)
{
    const char byte = 1;
    if (::write(signalPipe[1], &byte, 1) < 0)
        return;
}

InData inputFor(const SMethod& method, int module, const QString& samples)
{
    InData in;
    in.pcrNumber = module;
    in.dateTime = QDateTime::currentDateTime();
    in.serialNumber = in.dateTime.toString("yyyyMMdd_hhmmss");
    in.method = method;
    const QStringList names = samples.split(',');
    for (int i = 0; i < method.SampleNumber; ++i) {
        in.sampleNames.append(samples.isEmpty() ? QString() : names.value(i).trimmed());
        in.sampleRemarks.append(QString());
    }
    return in;
}

}

int runCommand(const QStringList& arguments)
{
    CliContext cli("run", arguments);
    QCommandLineParser& p = cli.parser();
    p.setApplicationDescription("Runs a method on a PCR module, saves usr_data/NAME.pcrd and prints its analysis.\n"
                                "The port is found as the program finds it (\"SET/COM\" in ini/settings.ini first).");
    p.addOptions({{"method", "method file (.json)", "FILE"},
                  {"module", "PCR module 1 to 4", "N"},
                  {"name", "experiment name (the file is usr_data/NAME.pcrd)", "NAME"},
                  {"samples", "sample names, comma separated", "LIST"},
                  {"sample-sheet", "sample names and types from a sample sheet (CSV or xlsx: 孔位/hole, 样本名/name, 类型/type, 定量/quantity, 单位/unit, 备注/remark), instead of --samples and --types", "FILE"},
                  {"types", "sample types in sample order, comma separated: unkn, ntc, nac, pos, ntp or std:QUANTITY:UNIT (units cop, fold, dil, ng, nMol, other)", "LIST"},
                  {"step-ms", "milliseconds per step of each module (1000 on the instrument; shorter only for demos and tests)", "MS", "1000"},
                  {"link-wait-ms", "after a run that lost its link, how long to wait for it to play the stop sequence (shorter only for tests)", "MS", "60000"},
                  {"verbose", "show the diagnostics (frames, steps)"}});
    CliRecords::addOptions(p);
    if (!cli.parse(0))
        return cli.parseExitCode();
    if (!p.isSet("verbose"))
        QLoggingCategory::setFilterRules("*.debug=false\n*.info=false");

    bool ok = false;
    const int module = p.value("module").toInt(&ok);
    if (!ok || module < 1 || module > 4)
        return cli.fail("--module must be 1 to 4");
    const int stepMs = p.value("step-ms").toInt(&ok);
    if (!ok || stepMs < 4)
        return cli.fail("--step-ms must be at least 4");
    const int linkWaitMs = p.value("link-wait-ms").toInt(&ok);
    if (!ok || linkWaitMs < 0)
        return cli.fail("--link-wait-ms must be 0 or more");
    SMethod method;
    if (!JsonControl().openJsonMethod(p.value("method"), method))
        return cli.fail(QString("cannot read method file %1").arg(p.value("method")));
    const QString fault = programFault(method);
    if (!fault.isEmpty())
        return cli.fail(fault);
    InData input = inputFor(method, module, p.value("samples"));
    QString sampleError;
    if (p.isSet("sample-sheet") && (p.isSet("samples") || p.isSet("types")))
        return cli.refuse("--sample-sheet names the samples and their types: give it without --samples and --types");
    if (p.isSet("types") && !RunControls::parseTypes(p.value("types"), method.SampleNumber, input.setup.sampleTypes, sampleError))
        return cli.fail("--types: " + sampleError);
    SampleSheet sheet;
    if (p.isSet("sample-sheet") && !sheet.read(p.value("sample-sheet"), method, sampleError))
        return cli.fail(QString("--sample-sheet %1: %2").arg(p.value("sample-sheet"), sampleError));
    if (p.isSet("sample-sheet")) {
        input.sampleNames = sheet.names();
        input.sampleRemarks = sheet.remarks();
        input.setup.sampleTypes = sheet.types();
    }

    // Everything that could keep the end of the run from being saved is judged before the first
    // frame: a run whose readings cannot be kept is not started.
    const QString name = p.value("name");
    const QString folder = UI::UserDirName.arg(QDir::currentPath());
    const QString path = folder + name + ".pcrd";
    const QString saveFault = ExperimentName::saveFault(folder, name);
    if (!saveFault.isEmpty())
        return cli.fail(QString("--name %1: %2").arg(name, saveFault));

    CliRecords records;
    const QString refused = records.open(cli, true, Permission::RunTests);
    if (!refused.isEmpty())
        return cli.fail(refused);

    Machine machine(stepMs / 4);
    const MachineData state = machine.getMachineData();
    if (!state.isOpen)
        return cli.fail(QString("no instrument found (%1)").arg(UI::NoFoundPcr));
    if (state.pcrModels.value(module) == 0)
        return cli.fail(QString("PCR module %1 does not answer on %2").arg(module).arg(state.comName));
    cli.out() << "instrument on " << state.comName << ", module " << module << ": " << method.Name << ", "
              << method.getAllRunCmd().size() << " steps\n";

    RunSession session(&machine, input, path, cli.out(), linkWaitMs);
    session.beforeSave = [&records](OutData& record) { records.session().stamp(record); };
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &session);
        QObject::connect(notifier, &QSocketNotifier::activated, &session, [&session] {
            char byte;
            if (::read(signalPipe[0], &byte, 1) > 0)
                session.stop();
        });
        std::signal(SIGINT, onInterrupt);
        std::signal(SIGTERM, onInterrupt);
    }
    QObject::connect(&session, &RunSession::finished, QCoreApplication::instance(), &QCoreApplication::quit);
    RecordSession& trail = records.session();
    trail.recordRun(name, "创建实验", QString("%1，PCR %2").arg(method.Name).arg(module));
    trail.recordRun(name, "开始运行");
    session.start();
    QCoreApplication::exec();

    OutData saved;
    const bool readable = session.exitCode() != 1 && saved.openAs(session.path()) == 0;
    const ExperimentRef savedName = ExperimentRef::of(session.path(), saved);
    // A failed run is recorded as what happened to it: no answer, or the link broken.
    const QString failure = machine.runNote(module);
    const bool failed = session.exitCode() == 3 || session.exitCode() == RunSession::StopUnconfirmedExit;
    trail.recordRun(savedName, session.exitCode() == 1 ? "保存失败" : failed && !failure.isEmpty() ? failure : failed ? "运行失败"
                                                       : saved.runComplete ? "运行完成" : "停止运行");
    if (session.exitCode() == RunSession::StopUnconfirmedExit)
        trail.recordRun(savedName, UI::StopUnconfirmed.arg(module));
    if (readable) {
        trail.indexExperiment(savedName, QFileInfo(session.path()).absoluteFilePath(), true);
        printResultTable(cli.out(), saved);
        // Results the lab wants at once go out; a run that ended well but whose results could
        // not go ends as a failure.
        if (!records.deliverToLis(cli, session.path(), LisDelivery::Moment::RunEnded) && session.exitCode() == 0)
            return 1;
    }
    return session.exitCode();
}
