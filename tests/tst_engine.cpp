#include "SimProcess.h"
#include "TestDir.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "app/ZGLOBAL.h"
#include "instrument/Engine.h"
#include "instrument/ListenInterface.h"
#include "instrument/Machine.h"

#include <QSignalSpy>

namespace {
// An engine on the simulator's terminal, with the program's 20 ms between reads.
bool openOn(Engine& engine, const SimProcess& sim)
{
    return !sim.path().isEmpty() && engine.initCom(sim.path()) == 0 && engine.isOpen();
}

void useSettingsPort(const QString& path)
{
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(path);
}
}

class TestEngine : public QObject
{
    Q_OBJECT
private slots:
    void exactRequestBytes();
    void temperaturesAndHoles();
    void strayBytesBeforeTheReply();
    void swappedCrcIsTriedFourTimes();
    void replyInPieces();
    void noAnswer();
    void wrongReplyLength();
    void oneExchangeAtATime();
    void lostOnceThenAnswered();
    void lateRepliesAreNeverTheNextOnes();
    void probeFindsModulesOneAndThree();
    void onlyAddressZeroIsNoInstrument();
    void vanishingTerminalIsReported();
};

void TestEngine::exactRequestBytes()
{
    TestDir dir;
    SimProcess sim({}, dir.path());
    Engine engine;
    QVERIFY(openOn(engine, sim));
    QCOMPARE(engine.outLed(Engine::OUTLED_NORMAL, 1), 0);
    QCOMPARE(engine.SendData(), QString("发送数据:f9 01 d0 01 00 00 00 00 00 00"));
    QVERIFY(engine.RecData().startsWith("接收数据:f8 01 d0 01"));
    QCOMPARE(engine.setTemp(Engine::TEC_UP, 95.0, 2), 0);
    QCOMPARE(engine.setTemp(Engine::TEC_DOWN, 60.005, 2), 0);
    QCOMPARE(engine.stopTemp(Engine::TEC_UP, 3), 0);
    QCOMPARE(engine.upFan(true, 1), 0);
    QCOMPARE(engine.downFan(false, 1), 0);
    QCOMPARE(engine.testRotor(1), 0);
    QCOMPARE(engine.resetRotor(1), 0);
    QCOMPARE(engine.moveUDRotor(Engine::DOWN, 4, 1850, 1), 0);
    QCOMPARE(engine.inLed(true, 4), 0);
    QCOMPARE(engine.inLed(quint8(Engine::FAM_LEFT | Engine::FAM_RIGHT), 4), 0);
    QCOMPARE(engine.outFan(true, 1), 0);
    QCOMPARE(engine.testProRotor(1), 0);
    // Set-points outside the heaters' range never leave the program (950 would travel as 294.64).
    for (double unsafe : {950.0, -5.0, 100.01, std::nan("")})
        QCOMPARE(engine.setTemp(Engine::TEC_UP, unsafe, 1), int(Engine::SERIALPORT_WRITE_ERROR));
    QCOMPARE(engine.setTemp(Engine::TEC_DOWN, 100.0, 1), 0);
    QTRY_COMPARE(sim.frames().size(), 14);
    QCOMPARE(sim.frames(), QStringList({
                               "f9 01 d0 01 00 00 00 00 00 00",
                               "f9 02 b1 25 1c 01 00 00 00 00",
                               "f9 02 a1 17 70 01 00 00 00 00",
                               "f9 03 b1 00 00 02 00 00 00 00",
                               "f9 01 b2 32 01 00 00 00 00 00",
                               "f9 01 a2 32 02 00 00 00 00 00",
                               "f9 01 c1 01 04 29 64 03 00 00",
                               "f9 01 c1 02 04 39 c8 00 00 00",
                               "f9 01 c3 01 04 07 3a 00 00 00",
                               "f9 04 e1 ff 00 00 00 00 00 00",
                               "f9 04 e1 06 00 00 00 00 00 00",
                               "f9 01 d1 01 00 00 00 00 00 00",
                               "f9 01 c1 01 01 2e e0 ff 00 00",
                               "f9 01 a1 27 10 01 00 00 00 00",
                           }));
}

void TestEngine::temperaturesAndHoles()
{
    TestDir dir;
    SimProcess sim({"--speed", "1000"}, dir.path());
    Engine engine;
    QVERIFY(openOn(engine, sim));
    QCOMPARE(engine.setTemp(95.0, 60.0, 1), 0);
    double up = -5, down = -5;
    const auto bothThere = [&] {
        return engine.getTemp(Engine::TEC_UP, up, 1) == 0 && engine.getTemp(Engine::TEC_DOWN, down, 1) == 0
            && up == 95.0 && down == 60.0;
    };
    QTRY_VERIFY(bothThere());
    QCOMPARE(up, 95.0);
    QCOMPARE(down, 60.0);
    QCOMPARE(engine.SendData(), QString("发送数据:f9 01 a0 00 02 00 00 00 00 00"));

    QVector<double> values;
    QCOMPARE(engine.holeInfos(26, 2, values, 1), 0);
    QCOMPARE(values.size(), 52);
    for (double v : values)
        QVERIFY(v > 100 && v < 6553.5);
    QStringList positions;
    for (int p = 1; p <= 13; ++p)
        positions << QString("f9 01 c2 %1 00 00 00 00 00 00").arg(p, 2, 16, QChar('0'));
    QTRY_COMPARE(sim.frames().mid(sim.frames().size() - 13), positions);
    // 25 holes and one channel: 12 positions, 24 values (the simulator answers in two channels,
    // so these replies do not fit and stay unfilled).
    values.clear();
    QCOMPARE(engine.holeInfos(25, 1, values, 1), int(Engine::SERIALPORT_EXISTERROR));
    QCOMPARE(values.size(), 24);
}

void TestEngine::strayBytesBeforeTheReply()
{
    TestDir dir;
    SimProcess sim({"--stray"}, dir.path());
    Engine engine;
    QVERIFY(openOn(engine, sim));
    double t = 0;
    QCOMPARE(engine.getTemp(Engine::TEC_UP, t, 1), 0);
    QCOMPARE(t, 25.0);
    QCOMPARE(sim.frames().size(), 1);
}

void TestEngine::swappedCrcIsTriedFourTimes()
{
    TestDir dir;
    SimProcess sim({"--swap-crc"}, dir.path());
    Engine engine;
    QVERIFY(openOn(engine, sim));
    double t = -7;
    QCOMPARE(engine.getTemp(Engine::TEC_UP, t, 1), int(Engine::SERIALPORT_CRCERROR));
    QCOMPARE(t, -7.0); // nothing decoded from a bad reply
    QCOMPARE(sim.frames().size(), 4);
    QCOMPARE(engine.outLed(Engine::OUTLED_STOP, 1), int(Engine::SERIALPORT_CRCERROR));
    QCOMPARE(sim.frames().size(), 8); // a lamp command is safe to send again
    QCOMPARE(engine.testRotor(1), int(Engine::SERIALPORT_CRCERROR));
    QCOMPARE(sim.frames().size(), 9); // a rotor is never moved twice
}

void TestEngine::replyInPieces()
{
    TestDir dir;
    SimProcess sim({"--split", "3", "--split-gap", "15"}, dir.path());
    Engine engine;
    QVERIFY(openOn(engine, sim));
    QVector<double> values;
    QCOMPARE(engine.holeInfo(1, 2, values, 1), 0);
    QVERIFY(values[0] > 0);
    QCOMPARE(sim.frames().size(), 1);
}

void TestEngine::noAnswer()
{
    TestDir dir;
    SimProcess sim({"--silent-after", "0"}, dir.path());
    Engine engine;
    QVERIFY(openOn(engine, sim));
    QCOMPARE(engine.outLed(Engine::OUTLED_NORMAL, 1), int(Engine::SERIALPORT_READ_ERROR));
    double t = 0;
    QCOMPARE(engine.getTemp(Engine::TEC_DOWN, t, 1), int(Engine::SERIALPORT_READ_ERROR));
    QCOMPARE(sim.frames().size(), 4 + 4);
    QVERIFY(engine.RecData().endsWith(":"));
}

void TestEngine::wrongReplyLength()
{
    TestDir dir;
    QVERIFY(ZGLOBAL::writeFile("one-channel.json", R"({"holes": 26, "channels": 1})"));
    SimProcess sim({"--scenario", dir.file("one-channel.json")}, dir.path());
    Engine engine;
    QVERIFY(openOn(engine, sim));
    QVector<double> values;
    // 10 bytes come back where 14 were asked for: never read past them, the values stay unfilled.
    QCOMPARE(engine.holeInfo(1, 2, values, 1), int(Engine::SERIALPORT_CRCERROR));
    QCOMPARE(values, QVector<double>(4, -1.0));
    QCOMPARE(sim.frames().size(), 4);
}

void TestEngine::oneExchangeAtATime()
{
    TestDir dir;
    SimProcess sim({"--latency", "60"}, dir.path());
    Engine engine;
    QVERIFY(openOn(engine, sim));
    int nested = -1;
    // A timer (or a click) that falls due while an exchange waits is served after it, never
    // inside it: whatever it opens cannot hold up the step.
    QTimer::singleShot(10, &engine, [&] { nested = engine.outLed(Engine::OUTLED_STOP, 2); });
    double t = 0;
    QCOMPARE(engine.getTemp(Engine::TEC_UP, t, 1), 0);
    QCOMPARE(nested, -1);
    QTRY_COMPARE(nested, 0);
    QCOMPARE(sim.frames(), QStringList({"f9 01 b0 00 02 00 00 00 00 00", "f9 02 d0 02 00 00 00 00 00 00"}));
}

void TestEngine::lostOnceThenAnswered()
{
    TestDir dir;
    SimProcess sim({"--drop-every", "2", "--speed", "1000"}, dir.path());
    Engine engine;
    QVERIFY(openOn(engine, sim));
    QCOMPARE(engine.outLed(Engine::OUTLED_NORMAL, 1), 0);
    double t = -7;
    QCOMPARE(engine.getTemp(Engine::TEC_UP, t, 1), 0); // the second request is lost, the third answered
    QCOMPARE(t, 25.0);
    QCOMPARE(sim.frames().size(), 3);
}

void TestEngine::lateRepliesAreNeverTheNextOnes()
{
    // Replies come after the read window. The upper heater's late reply must never be read as the
    // lower heater's temperature: each reading is its own heater's or a failure. A resend of the
    // same request takes the late reply to the first, so none fails.
    TestDir dir;
    SimProcess sim({"--latency", "150", "--speed", "1000"}, dir.path());
    Engine engine;
    QVERIFY(openOn(engine, sim));
    engine.setTemp(Engine::TEC_UP, 95.0, 1);
    engine.setTemp(Engine::TEC_DOWN, 40.0, 1);
    int failures = 0;
    for (int i = 0; i < 3; ++i) {
        double up = -1, down = -1;
        if (engine.getTemp(Engine::TEC_UP, up, 1) == 0)
            QCOMPARE(up, 95.0);
        else
            ++failures;
        if (engine.getTemp(Engine::TEC_DOWN, down, 1) == 0)
            QCOMPARE(down, 40.0);
        else
            ++failures;
    }
    QCOMPARE(failures, 0);
}

void TestEngine::probeFindsModulesOneAndThree()
{
    TestDir dir;
    SimProcess sim({"--modules", "1,3"}, dir.path());
    useSettingsPort(sim.path());
    Machine machine(250, 20);
    const MachineData data = machine.getMachineData();
    QVERIFY(data.isSync);
    QVERIFY(data.isOpen);
    QCOMPARE(data.comName, sim.path());
    QCOMPARE(data.pcrModels, QVector<quint8>({0, 1, 0, 3, 0}));
    QVERIFY(machine.isOpenState());
    QCOMPARE(sim.frames().size(), 5);
    // The probe only reads: a module that plays a run is sent no set-point and no stop.
    QCOMPARE(sim.frames().first(), QString("f9 00 b0 00 02 00 00 00 00 00"));
    QCOMPARE(sim.frames().last(), QString("f9 04 b0 00 02 00 00 00 00 00"));
}

void TestEngine::onlyAddressZeroIsNoInstrument()
{
    TestDir dir;
    SimProcess sim({"--modules", "0"}, dir.path());
    useSettingsPort(sim.path());
    Machine machine(250, 20);
    const MachineData data = machine.getMachineData();
    QVERIFY(data.isSync);
    QVERIFY(!data.isOpen);
    QVERIFY(!data.hasPcrModel());
    QVERIFY(!machine.isOpenState());

    // No port at all: undecided no more, simply disconnected.
    useSettingsPort(dir.file("no-such-tty"));
    const MachineData none = machine.getMachineData();
    QVERIFY(none.isSync && !none.isOpen);
    QCOMPARE(none.pcrModels, QVector<quint8>(5, 0));
}

void TestEngine::vanishingTerminalIsReported()
{
    TestDir dir;
    SimProcess sim({"--vanish-after", "6"}, dir.path());
    useSettingsPort(sim.path());
    Machine machine(250, 20);
    ListenInterface listen(&machine, 50, 100000, 100000);
    QSignalSpy states(&listen, &ListenInterface::signalMachineData);
    QVERIFY(states.wait(5000));
    QVERIFY(states.last().first().value<MachineData>().isOpen);
    // The seventh request finds the terminal gone: the link error reaches the monitor.
    ControlElement reading;
    reading.kind = GET_TEMP;
    QStack<ControlElement> readings;
    readings.fill(reading, 2);
    QVERIFY(machine.play(readings, SMethod(), nullptr, 1));
    QTRY_COMPARE_WITH_TIMEOUT(states.size(), 2, 5000);
    const MachineData lost = states.last().first().value<MachineData>();
    QVERIFY(lost.isSync);
    QVERIFY(!lost.isOpen);
    QVERIFY(!machine.isOpenState());
}

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
