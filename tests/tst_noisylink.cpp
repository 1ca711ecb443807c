#include "CliRunner.h"
#include "SimProcess.h"
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
    QVector<double> reading;
    int positions = 0;
    for (const QByteArray& line : ZGLOBAL::readFile(dir.file("replies.log")).split('\n')) {
        const QByteArray reply = QByteArray::fromHex(QByteArray(line).replace(' ', ""));
        if (reply.size() != 14 || reply[1] != char(module) || quint8(reply[2]) != 0xC2
            || FrameProtocol::checkReply(reply, 0, 14, true) != FrameProtocol::Check::Valid)
            continue;
        reading += Engine::pdValues(2, reply);
        if (++positions % 13 == 0) {
            if (positions > 13)
                o.answered << reading;
            reading.clear();
        }
    }
    return o;
}

void compareReadings(const Outcome& o)
{
    QVERIFY(!o.answered.isEmpty());
    QCOMPARE(o.saved.pdLines.size(), 52);
    for (int i = 0; i < 52; ++i) {
        QCOMPARE(o.saved.pdLines[i].size(), o.answered.size());
        for (int k = 0; k < o.answered.size(); ++k)
            QCOMPARE(o.saved.pdLines[i][k].y(), o.answered[k][i]);
    }
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

QTEST_GUILESS_MAIN(TestNoisyLink)
#include "tst_noisylink.moc"
