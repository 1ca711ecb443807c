#include "NoisyRun.h"
#include "instrument/Engine.h"
#include "instrument/FrameProtocol.h"
#include "instrument/ListenInterface.h"
#include "instrument/Machine.h"
#include "method/JsonControl.h"

#include <QSignalSpy>
#include <QElapsedTimer>

using namespace NoisyRun;

class TestNoisyLink : public QObject
{
    Q_OBJECT
private slots:
    void lostAndBrokenRepliesAreSentAgain_data();
    void lostAndBrokenRepliesAreSentAgain();
    void aFailedRunLeavesTheModuleSafe();
    void theStopSequenceWaitsForTheLink();
    void aProbeAfterALinkLossOnlyReads();
    void theIdleCheckForgivesAMissedReply();
};

void TestNoisyLink::lostAndBrokenRepliesAreSentAgain_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<int>("module");
    // About fifty faults a run: each costs a read window, so more only slows the test.
    QTest::newRow("every 50th reply missing") << QStringList{"--drop-every", "50", "--drop-codes", Repeatable} << 1;
    QTest::newRow("every 53rd CRC broken") << QStringList{"--corrupt-every", "53", "--drop-codes", Repeatable} << 2;
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
    QCOMPARE(machine.runNote(1), UI::LinkBroken.arg(1));
    // Owed while the port is down, played and confirmed once it is back.
    QTRY_VERIFY(machine.isSafing(1) && machine.isStopOwed(1));
    QTRY_VERIFY_WITH_TIMEOUT(!safe.isEmpty(), 20000);
    QVERIFY(!machine.isStopOwed(1));
    QCOMPARE(sim.frames().mid(sim.frames().size() - 6),
             QStringList({"f9 01 b1 00 00 02 00 00 00 00", "f9 01 a1 00 00 02 00 00 00 00", "f9 01 e1 00 00 00 00 00 00 00",
                          "f9 01 c3 02 04 09 c4 00 00 00", "f9 01 c1 02 04 39 c8 00 00 00", "f9 01 d0 02 00 00 00 00 00 00"}));
}

void TestNoisyLink::aProbeAfterALinkLossOnlyReads()
{
    // The terminal goes away while module 1 plays a stretch of delays (as inside a fluorescence
    // reading) and comes back 600 ms later: the probe that finds it again sends that module no
    // set-point and no stop, and the run, although it played every step, is not complete.
    TestDir dir;
    SimProcess sim({"--link", dir.file("tty"), "--vanish-after", "9", "--return-after", "600"}, dir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(dir.file("tty"));
    Machine machine(10, 20);
    ListenInterface listen(&machine, 50, 200, 100);
    QSignalSpy states(&listen, &ListenInterface::signalMachineData);
    QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty() && states.last().first().value<MachineData>().isOpen, 10000);
    qRegisterMetaType<Machine::REACT_INFO>();
    QSignalSpy events(&machine, &Machine::signalReactInfo);
    ControlElement reading, delay;
    reading.kind = GET_TEMP;
    delay.kind = DELAY;
    QStack<ControlElement> steps;
    steps.fill(delay, 80);
    steps.first() = steps.last() = reading;
    QVERIFY(machine.play(steps, SMethod(), nullptr, 1));
    QVERIFY(events.wait(20000));
    QCOMPARE(events.first().first().value<Machine::REACT_INFO>(), Machine::REACT_LINK_LOST);
    QVERIFY2(machine.runNote(1).startsWith("连接中断"), qPrintable(machine.runNote(1)));
    bool lost = false;
    for (const QList<QVariant>& state : states)
        lost = lost || !state.first().value<MachineData>().isOpen;
    QVERIFY(lost);
    QStringList toModule;
    for (const QString& frame : sim.frames())
        if (frame.startsWith("f9 01"))
            toModule << frame.mid(6, 2);
    QCOMPARE(toModule, QStringList({"b0", "b0", "a0", "b0", "b0", "a0"}));
}

void TestNoisyLink::theIdleCheckForgivesAMissedReply()
{
    // Every 10th reply is lost while the idle modules are checked twenty times a second: no
    // module is ever taken for gone.
    TestDir dir;
    SimProcess sim({"--drop-every", "10"}, dir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    Machine machine;
    ListenInterface listen(&machine, 50, 200, 50);
    QSignalSpy states(&listen, &ListenInterface::signalMachineData);
    QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty(), 5000);
    QCOMPARE(states.first().first().value<MachineData>().pcrModels, QVector<quint8>({0, 1, 2, 3, 4}));
    QTest::qWait(3000);
    // A check answered on its second asking keeps that module quiet for a while: fewer checks, none missed.
    QVERIFY2(sim.frames().size() > 60, qPrintable(QString::number(sim.frames().size())));
    QCOMPARE(states.size(), 1);
}

QTEST_GUILESS_MAIN(TestNoisyLink)
#include "tst_noisylink.moc"
