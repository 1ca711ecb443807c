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
    QVERIFY(machine.isSafing(1));
    QVERIFY(safe.wait(20000));
    QCOMPARE(sim.frames().mid(sim.frames().size() - 6),
             QStringList({"f9 01 b1 00 00 02 00 00 00 00", "f9 01 a1 00 00 02 00 00 00 00", "f9 01 e1 00 00 00 00 00 00 00",
                          "f9 01 c3 02 04 09 c4 00 00 00", "f9 01 c1 02 04 39 c8 00 00 00", "f9 01 d0 02 00 00 00 00 00 00"}));
}

QTEST_GUILESS_MAIN(TestNoisyLink)
#include "tst_noisylink.moc"
