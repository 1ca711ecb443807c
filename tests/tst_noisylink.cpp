#include "CliRunner.h"
#include "SimProcess.h"
#include "SimReadings.h"
#include "TestDir.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "app/ZGLOBAL.h"
#include "files/OutData.h"
#include "instrument/Engine.h"
#include "instrument/FrameProtocol.h"
#include "instrument/ListenInterface.h"
#include "instrument/Machine.h"
#include "method/JsonControl.h"

#include <QSignalSpy>
#include <QElapsedTimer>

namespace {
// Every command that is safe to send twice: set-points, temperatures, readings, lamps, fans.
const QString Repeatable = "b1,a1,b0,a0,c2,d0,d1,e1,b2,a2";

struct Outcome
{
    CliResult cli;
    OutData saved;
    QStringList frames;
    // The readings the simulator answered with intact frames, in order, one vector of 52 values
    // (curve-index order) per reading; the initial reading left out as the run leaves it out.
    QVector<QVector<double>> answered;
};

// A headless run of the short method on module against the simulator with the given faults.
Outcome runWith(const TestDir& dir, const QStringList& faults, int module)
{
    Outcome o;
    SimProcess sim(faults + QStringList{"--speed", "250", "--reply-log", dir.file("replies.log")}, dir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    o.cli = runCli({"run", "--method", TAMARIN_SOURCE_DIR "/methods/short-demo.json", "--module", QString::number(module),
                    "--name", "noisy", "--step-ms", "4"},
                   300000);
    o.saved.openAs("usr_data/noisy.pcrd");
    o.frames = sim.frames();
    o.answered = SimReadings::answered(dir.file("replies.log"), module);
    return o;
}

void compareReadings(const Outcome& o)
{
    QVERIFY(!o.answered.isEmpty());
    SimReadings::compare(o.saved, o.answered, o.answered.size());
}
}

class TestNoisyLink : public QObject
{
    Q_OBJECT
private slots:
    void lostAndBrokenRepliesAreSentAgain_data();
    void lostAndBrokenRepliesAreSentAgain();
    void aFailedRunLeavesTheModuleSafe();
    void theStopSequenceWaitsForTheLink();
    void faultDrills_data();
    void faultDrills();
    void killDrills_data();
    void killDrills();
};

void TestNoisyLink::lostAndBrokenRepliesAreSentAgain_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<int>("module");
    // About a hundred faults a run: each costs a read window and a quiet one, so more only slows the test.
    QTest::newRow("every 25th reply missing") << QStringList{"--drop-every", "25", "--drop-codes", Repeatable} << 1;
    QTest::newRow("every 29th CRC broken") << QStringList{"--corrupt-every", "29", "--drop-codes", Repeatable} << 2;
    QTest::newRow("a false start before every reply") << QStringList{"--stray"} << 3;
}

void TestNoisyLink::lostAndBrokenRepliesAreSentAgain()
{
    QFETCH(QStringList, faults);
    QFETCH(int, module);
    TestDir dir;
    const Outcome o = runWith(dir, faults, module);
    QVERIFY2(o.cli.code == 0, qPrintable(o.cli.err + o.cli.out.right(1500)));
    QVERIFY(o.saved.runComplete);
    QCOMPARE(o.answered.size(), 55);
    compareReadings(o);
}

void TestNoisyLink::aFailedRunLeavesTheModuleSafe()
{
    // The 9th rotor move (the reset after cycle 3's reading) goes unanswered: a rotor is never
    // moved twice, so the run ends there, with the three readings taken, and the stop sequence
    // follows on the wire.
    TestDir dir;
    const Outcome o = runWith(dir, {"--drop-every", "9", "--drop-codes", "c1"}, 4);
    QCOMPARE(o.cli.code, 3);
    QVERIFY(!o.saved.runComplete);
    QCOMPARE(o.answered.size(), 3);
    compareReadings(o);
    QCOMPARE(o.frames.mid(o.frames.size() - 6),
             QStringList({"f9 04 b1 00 00 02 00 00 00 00", "f9 04 a1 00 00 02 00 00 00 00", "f9 04 e1 00 00 00 00 00 00 00",
                          "f9 04 c3 02 04 09 c4 00 00 00", "f9 04 c1 02 04 39 c8 00 00 00", "f9 04 d0 02 00 00 00 00 00 00"}));
}

void TestNoisyLink::theStopSequenceWaitsForTheLink()
{
    // The terminal goes away mid-run and comes back half a second later at the same name: the
    // connection monitor finds it again, and the stop sequence reaches the module then.
    TestDir dir;
    SimProcess sim({"--link", dir.file("tty"), "--vanish-after", "80", "--return-after", "500"}, dir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(dir.file("tty"));
    Machine machine(5, 20);
    ListenInterface listen(&machine, 50, 300);
    QSignalSpy states(&listen, &ListenInterface::signalMachineData);
    QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty() && states.last().first().value<MachineData>().isOpen, 10000);
    qRegisterMetaType<Machine::REACT_INFO>();
    QSignalSpy events(&machine, &Machine::signalReactInfo);
    QSignalSpy safe(&machine, &Machine::signalSafeState);
    SMethod method;
    JsonControl().openJsonMethod(TAMARIN_SOURCE_DIR "/methods/short-demo.json", method);
    machine.run(method, nullptr, 1);
    QVERIFY(events.wait(30000));
    QCOMPARE(events.first().first().value<Machine::REACT_INFO>(), Machine::REACT_ERROR);
    QVERIFY(machine.isSafing(1));
    QVERIFY(safe.wait(20000));
    QCOMPARE(sim.frames().mid(sim.frames().size() - 6),
             QStringList({"f9 01 b1 00 00 02 00 00 00 00", "f9 01 a1 00 00 02 00 00 00 00", "f9 01 e1 00 00 00 00 00 00 00",
                          "f9 01 c3 02 04 09 c4 00 00 00", "f9 01 c1 02 04 39 c8 00 00 00", "f9 01 d0 02 00 00 00 00 00 00"}));
}

void TestNoisyLink::faultDrills_data()
{
    // What a user would want of each fault: exit 0 with every reading exact when the link
    // recovers, or exit 3 with the readings so far kept (marked incomplete); 1 with nothing
    // started when no module answers at all.
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<int>("code");
    QTest::newRow("slow replies") << QStringList{"--latency", "8"} << 0;
    QTest::newRow("replies in pieces") << QStringList{"--split", "3", "--split-gap", "2"} << 0;
    QTest::newRow("module falls silent") << QStringList{"--silent-after", "400"} << 3;
    QTest::newRow("terminal vanishes") << QStringList{"--vanish-after", "400"} << 3;
    QTest::newRow("every CRC swapped") << QStringList{"--swap-crc"} << 1;
}

void TestNoisyLink::faultDrills()
{
    QFETCH(QStringList, faults);
    QFETCH(int, code);
    TestDir dir;
    const Outcome o = runWith(dir, faults, 1);
    QVERIFY2(o.cli.code == code, qPrintable(o.cli.err + o.cli.out.right(800)));
    QVERIFY(!QFile::exists("usr_data/.noisy.pcrd.partial"));
    if (code == 1) {
        QVERIFY(!QFile::exists("usr_data/noisy.pcrd"));
        return;
    }
    QCOMPARE(o.saved.runComplete, code == 0);
    if (code == 0)
        QCOMPARE(o.answered.size(), 55);
    compareReadings(o);
}

void TestNoisyLink::killDrills_data()
{
    QTest::addColumn<int>("after");
    QTest::newRow("before the first reading") << 0;
    QTest::newRow("mid-cycle") << 12;
    QTest::newRow("mid-melt") << 40;
}

void TestNoisyLink::killDrills()
{
    // The run's process is killed once its recovery copy holds `after` readings; a restore then
    // gives every reading the simulator answered, but for at most the one in flight.
    QFETCH(int, after);
    TestDir dir;
    SimProcess sim({"--speed", "250", "--reply-log", dir.file("replies.log")}, dir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    QProcess run;
    run.start(TAMARIN_CLI, {"run", "--method", TAMARIN_SOURCE_DIR "/methods/short-demo.json", "--module", "2", "--name", "killed",
                            "--step-ms", "4"});
    QVERIFY(run.waitForStarted());
    const QString copy = dir.file("usr_data/.killed.pcrd.partial");
    QVERIFY(QTest::qWaitFor([&] {
        OutData partial;
        return partial.openAs(copy) == 0 && !partial.pdLines.isEmpty() && partial.pdLines[0].size() >= after;
    }, 60000));
    run.kill();
    QVERIFY(run.waitForFinished());
    QTest::qWait(100); // the reply in flight reaches the simulator's log
    const QVector<QVector<double>> answered = SimReadings::answered(dir.file("replies.log"), 2);

    const CliResult recover = runCli({"recover"});
    QCOMPARE(recover.code, 0);
    QVERIFY(recover.out.contains("restored") && recover.out.contains("module 2"));
    OutData restored;
    QCOMPARE(restored.openAs("usr_data/killed.pcrd"), 0);
    QVERIFY(!restored.runComplete);
    const int kept = restored.pdLines.value(0).size();
    QVERIFY2(kept >= after && kept >= answered.size() - 1, qPrintable(QString("%1 of %2 kept").arg(kept).arg(answered.size())));
    SimReadings::compare(restored, answered, kept);
    QVERIFY(after == 0 || !restored.tempLines.value(0).isEmpty());
    qInfo("kill after %d readings: %d answered, %d restored", after, int(answered.size()), kept);
}

QTEST_GUILESS_MAIN(TestNoisyLink)
#include "tst_noisylink.moc"
