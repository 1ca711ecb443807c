// tamarin-sim: a simulated instrument on a pseudo-terminal, speaking the real frame protocol.
#include "sim/PtyServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <QTimer>

#include <csignal>

namespace {
int fail(const QString& message)
{
    QTextStream(stderr) << "tamarin-sim: " << message << "\n";
    return 2;
}

void quitOnSignal(int)
{
    QCoreApplication::quit();
}
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tamarin-sim");
    QCommandLineParser p;
    p.setApplicationDescription("Simulated PCR instrument on a pseudo-terminal. Prints the terminal's path.");
    p.addHelpOption();
    const QList<QCommandLineOption> options = {
        {"link", "make a symbolic link to the terminal at PATH", "PATH"},
        {"modules", "module addresses that answer (default 1,2,3,4)", "LIST", "1,2,3,4"},
        {"scenario", "chip scenario (JSON); the built-in one otherwise", "FILE"},
        {"log", "write every request frame received, in hex with its time in ms, to FILE", "FILE"},
        {"reply-log", "write every reply frame sent (faults applied, stray bytes left out), in hex, to FILE", "FILE"},
        {"ramp", "heater ramp in degC per simulated second (default 10, what the shipped methods expect)", "R", "10"},
        {"speed", "simulated seconds per real second (default 1)", "F", "1"},
        {"drop-every", "no reply to every N-th request", "N", "0"},
        {"corrupt-every", "a broken CRC on every N-th reply", "N", "0"},
        {"swap-crc", "swap the CRC bytes of every reply"},
        {"stray", "send stray bytes 00 f8 03 before every reply"},
        {"split", "write each reply in N pieces", "N", "1"},
        {"split-gap", "milliseconds between pieces (default 15)", "MS", "15"},
        {"silent-after", "answer nothing after N requests", "N", "-1"},
        {"silent-module", "with --silent-after: only module N falls silent", "N", "-1"},
        {"silent-in-reading", "module --silent-module falls silent at its K-th hole-position request (in the middle of a reading unless K is 1 more than a multiple of 13)", "K", "-1"},
        {"silent-for", "with --silent-after or --silent-in-reading: the silence lasts MS, then the replies come back", "MS", "-1"},
        {"vanish-after", "close the terminal after N requests", "N", "-1"},
        {"return-after", "after vanishing, open a new terminal at the --link path MS milliseconds later", "MS", "-1"},
        {"latency", "milliseconds before each reply", "MS", "0"},
        {"ignore-code", "never answer command code HEX (e.g. a0)", "HEX"},
        {"pace", "send bytes at 19200 baud 8E1"},
        {"late-every", "hold every N-th reply back by --late-ms", "N", "0"},
        {"late-ms", "how long --late-every holds a reply back (default 150, past the read window)", "MS", "150"},
        {"twice-every", "send every N-th reply twice", "N", "0"},
        {"wrong-position-every", "answer every N-th hole-position request with the next position's frame", "N", "0"},
        {"silent-in-stop", "module --silent-module (all when not given) falls silent after answering N requests of its stop sequence (counted from its first heater stop)", "N", "-1"},
        {"drop-codes", "limit --drop-every, --corrupt-every, --late-every, --twice-every and --wrong-position-every to these command codes (hex, comma separated)", "LIST"},
    };
    p.addOptions(options);
    p.process(app);

    QSet<int> modules;
    for (const QString& m : p.value("modules").split(',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int address = m.trimmed().toInt(&ok);
        if (!ok || address < 0 || address > 255)
            return fail("bad module address " + m);
        modules.insert(address);
    }
    SimScenario scenario = SimScenario::builtIn();
    QString error;
    if (p.isSet("scenario") && !scenario.load(p.value("scenario"), error))
        return fail(error);

    FaultPlan faults;
    faults.dropEvery = p.value("drop-every").toInt();
    faults.corruptEvery = p.value("corrupt-every").toInt();
    faults.swapCrc = p.isSet("swap-crc");
    faults.strayBytes = p.isSet("stray");
    faults.splitPieces = qMax(1, p.value("split").toInt());
    faults.splitGapMs = p.value("split-gap").toInt();
    faults.silentAfter = p.value("silent-after").toInt();
    faults.silentModule = p.value("silent-module").toInt();
    faults.silentInReading = p.value("silent-in-reading").toInt();
    faults.silentForMs = p.value("silent-for").toInt();
    faults.vanishAfter = p.value("vanish-after").toInt();
    faults.latencyMs = p.value("latency").toInt();
    faults.ignoreCode = p.isSet("ignore-code") ? p.value("ignore-code").toInt(nullptr, 16) : -1;
    faults.pace = p.isSet("pace");
    faults.lateEvery = p.value("late-every").toInt();
    faults.lateMs = p.value("late-ms").toInt();
    faults.twiceEvery = p.value("twice-every").toInt();
    faults.wrongPositionEvery = p.value("wrong-position-every").toInt();
    faults.silentInStop = p.value("silent-in-stop").toInt();
    for (const QString& code : p.value("drop-codes").split(',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int value = code.trimmed().toInt(&ok, 16);
        if (!ok || value < 0 || value > 255)
            return fail("bad command code " + code);
        faults.faultCodes.insert(value);
    }

    SimInstrument instrument(scenario, modules, p.value("ramp").toDouble(), qMax(0.001, p.value("speed").toDouble()));
    PtyServer server(&instrument, faults);
    const QString path = server.open(error);
    if (path.isEmpty())
        return fail(error);
    if (p.isSet("log") && !server.setLog(p.value("log")))
        return fail("cannot write the log " + p.value("log"));
    if (p.isSet("reply-log") && !server.setReplyLog(p.value("reply-log")))
        return fail("cannot write the log " + p.value("reply-log"));
    if (p.isSet("link")) {
        QFile::remove(p.value("link"));
        if (!QFile::link(path, p.value("link")))
            return fail("cannot make the link " + p.value("link"));
    }
    const int returnAfter = p.value("return-after").toInt();
    if (returnAfter >= 0 && p.isSet("link"))
        QObject::connect(&server, &PtyServer::vanished, &app, [&server, &p, returnAfter] {
            QTimer::singleShot(returnAfter, &server, [&server, &p] {
                QString reason;
                const QString again = server.reopen(reason);
                QFile::remove(p.value("link"));
                if (again.isEmpty() || !QFile::link(again, p.value("link")))
                    QTextStream(stderr) << "cannot come back: " << reason << Qt::endl;
            });
        });
    std::signal(SIGINT, quitOnSignal);
    std::signal(SIGTERM, quitOnSignal);
    QTextStream(stdout) << path << Qt::endl;
    const int code = app.exec();
    if (p.isSet("link"))
        QFile::remove(p.value("link"));
    return code;
}
