#include "SimProcess.h"
#include "Synthetic.h"
#include "TestDir.h"
#include "analysis/TempData.h"
#include "app/LogFile.h"
#include "app/Settings.h"
#include "app/ZGLOBAL.h"
#include "app/UI.h"
#include "instrument/ListenInterface.h"
#include "instrument/Machine.h"
#include "instrument/RunRecorder.h"
#include "method/JsonControl.h"

#include <QElapsedTimer>
#include <QSignalSpy>

namespace {

// Stands in for the run page: keeps what the machine reports for its module.
class Receiver : public QObject
{
    Q_OBJECT
public:
    explicit Receiver(int module) : mModule(module) {}
    int mModule;
    QVector<ConnectData> reports;
    QVector<Machine::REACT_INFO> events;

    // Runs the event loop until count run events have come (QTRY_* would sleep between polls and
    // starve the machine's fast test timer).
    bool waitForEvents(int count, int timeoutMs = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        while (events.size() < count && clock.elapsed() < timeoutMs) {
            QSignalSpy spy(this, &Receiver::eventCame);
            spy.wait(int(timeoutMs - clock.elapsed()) + 1);
        }
        return events.size() >= count;
    }

signals:
    void eventCame();

public slots:
    void slotConnectData(const ConnectData& data)
    {
        if (data.pcrIndex == mModule)
            reports << data;
    }
    void slotReactInfo(Machine::REACT_INFO info, char number)
    {
        if (int(number) == mModule) {
            events << info;
            emit eventCame();
        }
    }
};

QStack<ControlElement> steps(QVector<int> kinds)
{
    QStack<ControlElement> list;
    for (int k : kinds) {
        ControlElement e;
        e.kind = k;
        e.upTemp = 50;
        e.downTemp = 40;
        list.push(e);
    }
    return list;
}

// A simulated instrument and a machine that found it through the settings file.
struct Rig
{
    Rig(const QStringList& options, const QString& dir, int tickMs = 10, int waitMs = 10)
        : sim(options, dir), machine(tickMs, waitMs)
    {
        Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
        // The short read windows of these rigs can miss a simulator slowed by a loaded machine
        // once; the program's own monitor probes again too.
        connected = machine.getMachineData().isOpen || machine.getMachineData().isOpen;
    }
    SimProcess sim;
    Machine machine;
    bool connected = false;
};

SMethod chipMethod()
{
    SMethod m = Synthetic::experiment(30, true, 72, 84).inData.method;
    for (TargetInfos& t : m.holeTargets)
        t.Threshold = {100.0, 100.0};
    m.UpTime = m.DownTime = 10;
    m.Flow.steps = {Synthetic::stage(Step::STEP_CONSTANT, 1, {{10, 95.0, false}}),
                    Synthetic::stage(Step::STEP_CYCLE, 30, {{3, 95.0, false}, {10, 60.0, true}}),
                    Synthetic::stage(Step::STEP_MELT, 0, {{1, 72.0, false}, {1, 84.0, false}})};
    return m;
}

// The request frames a step sends, written down from the command set.
QStringList framesOf(const ControlElement& e, int module)
{
    const QString a = QString("%1").arg(module, 2, 16, QChar('0'));
    auto f = [&a](const QString& rest) { return QString("f9 %1 %2").arg(a, rest); };
    auto temp = [](double t) {
        const int v = int(t * 100);
        return QString("%1 %2").arg((v >> 8) & 0xFF, 2, 16, QChar('0')).arg(v & 0xFF, 2, 16, QChar('0'));
    };
    switch (e.kind) {
    case OUT_FAN_OPEN: return {f("d1 01 00 00 00 00 00 00")};
    case UP_FAN_OPEN: return {f("b2 32 01 00 00 00 00 00")};
    case DOWN_FAN_OPEN: return {f("a2 32 01 00 00 00 00 00")};
    case OUT_LED_BLUE: return {f("d0 01 00 00 00 00 00 00")};
    case OUT_LED_RED: return {f("d0 02 00 00 00 00 00 00")};
    case IN_LED_OPEN: return {f("e1 ff 00 00 00 00 00 00")};
    case IN_LED_CLOSE: return {f("e1 00 00 00 00 00 00 00")};
    case UD_ROTOR_DOWN_1: return {f("c3 01 04 07 3a 00 00 00")};
    case UD_ROTOR_UPRESET: return {f("c3 02 04 09 c4 00 00 00")};
    case UD_ROTOR_DOWN_2: return {f("c3 01 01 00 a0 00 00 00")};
    case ROTOR_TEST: return {f("c1 01 04 29 64 03 00 00")};
    case ROTOR_RESET: return {f("c1 02 04 39 c8 00 00 00")};
    case STOP_TEMP: return {f("b1 00 00 02 00 00 00 00"), f("a1 00 00 02 00 00 00 00")};
    case SET_TEMP_All: return {f("b1 " + temp(e.upTemp) + " 01 00 00 00 00"), f("a1 " + temp(e.downTemp) + " 01 00 00 00 00")};
    case DELAY: return {};
    case IMMUNE_DATA:
    case IMMUNE_CYCLE_DATA:
    case IMMUNE_MELT_DATA: {
        QStringList out;
        for (int p = 1; p <= 13; ++p)
            out << f(QString("c2 %1 00 00 00 00 00 00").arg(p, 2, 16, QChar('0')));
        return out;
    }
    default: return {f("b0 00 02 00 00 00 00 00"), f("a0 00 02 00 00 00 00 00")};
    }
}

}

namespace {
QStringList times(int n, const QString& frame)
{
    QStringList frames;
    for (int i = 0; i < n; ++i)
        frames << frame;
    return frames;
}

// The frames of the stop sequence on a module: heaters off, lamps off, both rotors home, red lamp.
QStringList stopSequence(int module)
{
    QStringList frames;
    for (const char* f : {"b1 00 00 02", "a1 00 00 02", "e1 00 00 00", "c3 02 04 09 c4", "c1 02 04 39 c8", "d0 02 00 00"})
        frames << QString("f9 0%1 %2").arg(module).arg(QString(f) + QString(" 00").repeated(8 - QString(f).count(' ') - 1));
    return frames;
}
}

class TestMachine : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void threeStepsOnModuleTwo();
    void twoModulesAlternate();
    void stopAfterTheEnd();
    void failingLowerHeaterReading();
    void failingSetPoint();
    void delayAndUnknownKinds();
    void slowStepsNeverOverlap();
    void wholeMethodOnTheWire();
    void silentModuleGoneAndBack();
    void silentModuleInAReading();
    void idleCheckCadence();
    // Last: it takes over the process's messages.
    void logOfAWholeRun();

private:
    TestDir* mDir = nullptr;
};

void TestMachine::init()
{
    mDir = new TestDir;
}

void TestMachine::cleanup()
{
    delete mDir;
}

void TestMachine::threeStepsOnModuleTwo()
{
    Rig rig({}, mDir->path());
    QVERIFY(rig.connected);
    Machine& machine = rig.machine;
    const SimProcess& sim = rig.sim;
    Receiver r(2);
    machine.play(steps({OUT_LED_BLUE, GET_TEMP, OUT_LED_RED}), SMethod(), &r, 2);
    QVERIFY(machine.isPcrRunning(2));
    QVERIFY(r.waitForEvents(1));
    QCOMPARE(r.events.first(), Machine::REACT_FINISHED);
    QVERIFY(!machine.isPcrRunning());
    QCOMPARE(r.reports.size(), 1);
    QCOMPARE(r.reports[0].dataType, 1u);
    QCOMPARE(r.reports[0].upTemp, 25.0);
    QCOMPARE(r.reports[0].residueCount, 1);
    QCOMPARE(r.reports[0].totalCount, 3);
    QCOMPARE(sim.frames().mid(5), QStringList({"f9 02 d0 01 00 00 00 00 00 00", "f9 02 b0 00 02 00 00 00 00 00",
                                              "f9 02 a0 00 02 00 00 00 00 00", "f9 02 d0 02 00 00 00 00 00 00"}));
}

void TestMachine::twoModulesAlternate()
{
    Rig rig({}, mDir->path());
    QVERIFY(rig.connected);
    Machine& machine = rig.machine;
    const SimProcess& sim = rig.sim;
    Receiver one(1), three(3);
    machine.play(steps({OUT_LED_BLUE, OUT_LED_BLUE, OUT_LED_BLUE}), SMethod(), &one, 1);
    machine.play(steps({OUT_LED_RED, OUT_LED_RED, OUT_LED_RED}), SMethod(), &three, 3);
    QVERIFY(one.waitForEvents(1) && three.waitForEvents(1));
    // One receiver for two modules still hears every event once.
    Receiver both(1);
    machine.play(steps({DELAY}), SMethod(), &both, 1);
    machine.play(steps({DELAY, DELAY}), SMethod(), &both, 2);
    QVERIFY(both.waitForEvents(1));
    QTest::qWait(200);
    QCOMPARE(both.events.size(), 1);
    QStringList addresses;
    for (const QString& frame : sim.frames().mid(5))
        addresses << frame.mid(3, 2);
    QCOMPARE(addresses.size(), 6);
    QCOMPARE(addresses.count("01"), 3);
    for (int i = 1; i < addresses.size(); ++i)
        QVERIFY2(addresses[i] != addresses[i - 1], qPrintable(addresses.join(' ')));
}

void TestMachine::stopAfterTheEnd()
{
    Rig rig({}, mDir->path());
    QVERIFY(rig.connected);
    Machine& machine = rig.machine;
    const SimProcess& sim = rig.sim;
    Receiver r(2);
    machine.play(steps({OUT_LED_BLUE, DELAY, DELAY}), SMethod(), &r, 2);
    // A stop that comes as the run ends (a question answered late) plays nothing, and the
    // module takes a new run at once.
    QTRY_COMPARE(sim.frames().size(), 6);
    machine.stop(2);
    machine.stop(2);
    QVERIFY(r.waitForEvents(1));
    QCOMPARE(r.events.first(), Machine::REACT_STOPPED);
    const int before = sim.frames().size();
    machine.stop(2);
    QVERIFY(!machine.isPcrRunning(2));
    QVERIFY(machine.play(steps({OUT_LED_BLUE}), SMethod(), &r, 2));
    QVERIFY(r.waitForEvents(2));
    QCOMPARE(r.events.last(), Machine::REACT_FINISHED);
    // STOP_TEMP (two frames), IN_LED_CLOSE, UD_ROTOR_UPRESET, ROTOR_RESET, five silent delays,
    // OUT_LED_RED, played once; then the new run's one frame.
    const QStringList after = sim.frames().mid(6);
    QCOMPARE(after.size(), 7);
    QCOMPARE(before, 12);
    QCOMPARE(after.last(), QString("f9 02 d0 01 00 00 00 00 00 00"));
}

void TestMachine::failingLowerHeaterReading()
{
    Rig rig({"--ignore-code", "a0"}, mDir->path());
    QVERIFY(rig.connected);
    Machine& machine = rig.machine;
    const SimProcess& sim = rig.sim;
    Receiver r(1);
    machine.play(steps({GET_TEMP, OUT_LED_BLUE}), SMethod(), &r, 1);
    QVERIFY(r.waitForEvents(1));
    QCOMPARE(r.events.first(), Machine::REACT_ERROR);
    QCOMPARE(r.reports.size(), 1);
    QCOMPARE(r.reports[0].upTemp, 25.0);
    QCOMPARE(r.reports[0].downTemp, -1.0);
    QVERIFY(!machine.isPcrRunning(1));
    // The lower reading was tried four times; the step after the failure never ran, the stop
    // sequence did.
    QTRY_VERIFY(!machine.isSafing(1));
    const QStringList frames = sim.frames().mid(5);
    QCOMPARE(frames.mid(0, 5), QStringList({"f9 01 b0 00 02 00 00 00 00 00"}) + times(4, "f9 01 a0 00 02 00 00 00 00 00"));
    QCOMPARE(frames.mid(5), stopSequence(1));
}

void TestMachine::failingSetPoint()
{
    Rig rig({"--ignore-code", "a1"}, mDir->path());
    QVERIFY(rig.connected);
    Machine& machine = rig.machine;
    const SimProcess& sim = rig.sim;
    Receiver r(1);
    machine.play(steps({SET_TEMP_UP, SET_TEMP_DOWN, OUT_LED_BLUE}), SMethod(), &r, 1);
    QVERIFY(r.waitForEvents(1));
    QCOMPARE(r.events.first(), Machine::REACT_ERROR);
    // A set-point is safe to send again: four attempts, then the stop sequence, each of its
    // commands sent once (the lower heater stop goes unanswered and does not keep the rest
    // from the module, but leaves the stop unconfirmed).
    QTRY_VERIFY(machine.isStopOwed(1));
    QVERIFY(machine.isSafing(1));
    QStringList expected = QStringList({"f9 01 b1 13 88 01 00 00 00 00"}) + times(4, "f9 01 a1 0f a0 01 00 00 00 00");
    QCOMPARE(sim.frames().mid(5), expected + stopSequence(1));
}

void TestMachine::delayAndUnknownKinds()
{
    Rig rig({}, mDir->path());
    QVERIFY(rig.connected);
    Machine& machine = rig.machine;
    const SimProcess& sim = rig.sim;
    Receiver r(4);
    machine.play(steps({DELAY, DELAY, 99}), SMethod(), &r, 4);
    QVERIFY(r.waitForEvents(1));
    QCOMPARE(r.events.first(), Machine::REACT_FINISHED);
    // The delays send nothing; the unknown kind reads both temperatures.
    QCOMPARE(sim.frames().mid(5), QStringList({"f9 04 b0 00 02 00 00 00 00 00", "f9 04 a0 00 02 00 00 00 00 00"}));
    QCOMPARE(r.reports.size(), 1);
}

void TestMachine::slowStepsNeverOverlap()
{
    // Every reply takes longer than a turn: ticks pile up while steps wait and are served after.
    Rig rig({"--latency", "15"}, mDir->path(), 2, 10);
    QVERIFY(rig.connected);
    Machine& machine = rig.machine;
    const SimProcess& sim = rig.sim;
    Receiver a(1), b(2), c(3);
    const QStack<ControlElement> list = steps({GET_TEMP, OUT_LED_BLUE, GET_TEMP, IN_LED_OPEN, GET_TEMP});
    machine.play(list, SMethod(), &a, 1);
    machine.play(list, SMethod(), &b, 2);
    machine.play(list, SMethod(), &c, 3);
    QVERIFY(a.waitForEvents(1) && b.waitForEvents(1) && c.waitForEvents(1));
    QCOMPARE(a.events.first(), Machine::REACT_FINISHED);
    QCOMPARE(b.events.first(), Machine::REACT_FINISHED);
    QCOMPARE(c.events.first(), Machine::REACT_FINISHED);
    QCOMPARE(sim.frames().size(), 5 + 3 * 8);
}

void TestMachine::wholeMethodOnTheWire()
{
    Rig rig({"--speed", "2000"}, mDir->path(), 1, 5);
    QVERIFY(rig.connected);
    Machine& machine = rig.machine;
    const SimProcess& sim = rig.sim;
    const SMethod method = chipMethod();
    Receiver r(1);
    RunRecorder recorder(52);
    connect(&machine, &Machine::signalConnectData, [&recorder](const ConnectData& d) {
        if (d.pcrIndex == 1)
            recorder.addReport(d);
    });
    machine.run(method, &r, 1);
    QVERIFY(r.waitForEvents(1, 120000));
    QCOMPARE(r.events.first(), Machine::REACT_FINISHED);

    QStringList expected;
    for (const ControlElement& e : method.getAllRunCmd())
        expected << framesOf(e, 1);
    QCOMPARE(sim.frames().mid(5), expected);

    // The simulator's chip: hole 3 FAM amplifies (Ct 18, Tm 81.5), hole 5 FAM does not, the
    // internal control (ROX) everywhere (Ct 24, Tm 78).
    OutData data;
    data.inData.method = method;
    recorder.fill(data);
    QCOMPARE(data.pdLines[4].size(), 30 + 25);
    QCOMPARE(data.pdLines[4].last().x(), 55.0);
    const TempData results(data);
    QVERIFY(results.positives[4]);
    QVERIFY2(std::fabs(results.ctValues[4] - 18.0) < 1.0, qPrintable(QString::number(results.ctValues[4])));
    QVERIFY2(std::fabs(results.tmValues[4] - 81.5) < 0.3, qPrintable(QString::number(results.tmValues[4])));
    QVERIFY(!results.positives[8]);
    QCOMPARE(results.tmValues[8], 0.0);
    QVERIFY(results.positives[9]);
    QVERIFY(std::fabs(results.ctValues[9] - 24.0) < 1.0);
    QVERIFY(std::fabs(results.tmValues[9] - 78.0) < 0.3);
    QVERIFY(!data.tempLines[0].isEmpty());
}

QTEST_GUILESS_MAIN(TestMachine)
void TestMachine::silentModuleGoneAndBack()
{
    QStack<ControlElement> readings;
    for (int i = 0; i < 300; ++i)
        readings.push(steps({GET_TEMP}).first());
    {
    // Module 3 falls silent for 1.5 s, in the middle of a run on module 2 and while module 4 idles.
    Rig rig({"--silent-after", "30", "--silent-module", "3", "--silent-for", "1500"}, mDir->path());
    QVERIFY(rig.connected);
    Machine& machine = rig.machine;
    ListenInterface listen(&machine, 50, 200, 100);
    QSignalSpy states(&listen, &ListenInterface::signalMachineData);
    QVERIFY(states.wait(5000));
    Receiver r(2);
    machine.play(readings, SMethod(), &r, 2);
    auto offered = [&states] { return states.last().first().value<MachineData>().pcrModels; };
    QTRY_COMPARE_WITH_TIMEOUT(offered(), QVector<quint8>({0, 1, 2, 0, 4}), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(offered(), QVector<quint8>({0, 1, 2, 3, 4}), 5000);
    QVERIFY(r.events.isEmpty());
    }
    QVERIFY(QFile::remove(mDir->path() + "/sim-frames.log"));

    // A run on module 3 that fails there: its stop sequence goes unanswered, and is played
    // again in full once the module answers.
    Rig again({"--silent-after", "20", "--silent-module", "3", "--silent-for", "1000"}, mDir->path());
    QVERIFY(again.connected);
    ListenInterface monitor(&again.machine, 50, 200, 100);
    QVERIFY(QSignalSpy(&monitor, &ListenInterface::signalMachineData).wait(5000));
    Receiver failed(3);
    again.machine.play(readings, SMethod(), &failed, 3);
    QVERIFY(failed.waitForEvents(1));
    QCOMPARE(failed.events.first(), Machine::REACT_ERROR);
    auto stopFramesSent = [&again] {
        QStringList sent;
        for (const QString& frame : again.sim.frames().mid(10)) // after both probes
            if (stopSequence(3).contains(frame))
                sent << frame;
        return sent;
    };
    QTRY_COMPARE_WITH_TIMEOUT(stopFramesSent(), stopSequence(3) + stopSequence(3), 5000);
    QTRY_VERIFY(!again.machine.isSafing(3) && !again.machine.isStopOwed(3));
}

void TestMachine::silentModuleInAReading()
{
    // Module 3 falls silent at position 7 of its first cycle reading, while module 1 plays the
    // same method at 100 ms a step.
    Rig rig({"--speed", "10", "--silent-module", "3", "--silent-in-reading", "20"}, mDir->path(), 25, 20);
    QVERIFY(rig.connected);
    SMethod method;
    QVERIFY(JsonControl().openJsonMethod(TAMARIN_SOURCE_DIR "/methods/short-demo.json", method));
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longestBeat = 0;
    QTimer beat;
    connect(&beat, &QTimer::timeout, [&] {
        longestBeat = qMax(longestBeat, clock.elapsed() - last);
        last = clock.elapsed();
    });
    beat.start(10);
    Receiver one(1), three(3);
    QVERIFY(rig.machine.run(method, &one, 1) && rig.machine.run(method, &three, 3));
    QVERIFY(three.waitForEvents(1, 30000));
    QCOMPARE(three.events.first(), Machine::REACT_ERROR);
    QTRY_VERIFY_WITH_TIMEOUT(rig.machine.isStopOwed(3), 10000);
    QTest::qWait(1000);
    QVERIFY(one.events.isEmpty());
    rig.machine.stop(1);
    QVERIFY(one.waitForEvents(1));

    // The reading ended at the position that went unanswered (four tries), then the stop sequence
    // was tried; module 1 kept its pace meanwhile: no pause much longer than the method's own.
    QFile log(rig.sim.logPath());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QStringList positions;
    qint64 silentFrom = -1, gap = 0, previous = -1;
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() < 5)
            continue;
        if (f[2] == "03" && f[3] == "c2") {
            positions << QString::fromLatin1(f[4]);
            if (positions.size() == 20)
                silentFrom = f[0].toLongLong();
        }
        if (f[2] == "01" && silentFrom >= 0) {
            gap = qMax(gap, f[0].toLongLong() - qMax(previous, silentFrom));
            previous = f[0].toLongLong();
        }
    }
    QCOMPARE(positions.mid(13), QStringList({"01", "02", "03", "04", "05", "06", "07", "07", "07", "07"}));
    qInfo() << "module 1's longest pause while module 3 was silent:" << gap << "ms; the window's longest beat:" << longestBeat << "ms";
    QVERIFY2(gap < 800 + 1000, qPrintable(QString::number(gap)));
    QVERIFY2(longestBeat < 500, qPrintable(QString::number(longestBeat)));
}

void TestMachine::idleCheckCadence()
{
    // Module 3 falls silent in a reading while modules 1 and 2 play readings: once its stop
    // sequence was tried, the idle check asks it at every check interval, before and after it is
    // taken for gone.
    Rig rig({"--silent-module", "3", "--silent-in-reading", "20"}, mDir->path(), 50, 20);
    QVERIFY(rig.connected);
    ListenInterface monitor(&rig.machine, 50, 200, 400);
    QVERIFY(QSignalSpy(&monitor, &ListenInterface::signalMachineData).wait(5000));
    QVector<int> kinds(60, IMMUNE_CYCLE_DATA);
    Receiver one(1), two(2), three(3);
    const SMethod chip = chipMethod();
    for (Receiver* r : {&one, &two, &three})
        QVERIFY(rig.machine.play(steps(kinds), chip, r, r->mModule));
    QVERIFY(three.waitForEvents(1));
    QTRY_VERIFY(rig.machine.isStopOwed(3));
    QTest::qWait(5000);
    QStringList asked;
    qint64 previous = -1, longest = 0;
    const QStringList lines = QString::fromLatin1(ZGLOBAL::readFile(rig.sim.logPath())).split('\n');
    const int failedAt = lines.lastIndexOf(QRegularExpression(".* f9 03 c2 .*"));
    for (const QString& line : lines.mid(failedAt)) {
        if (!line.contains("f9 03 b0"))
            continue;
        const qint64 t = line.section(' ', 0, 0).toLongLong();
        if (previous >= 0)
            asked << QString::number(t - previous);
        longest = previous >= 0 ? qMax(longest, t - previous) : 0;
        previous = t;
    }
    qInfo() << "idle checks of the silent module, ms apart:" << asked.join(' ');
    QVERIFY2(asked.size() >= 8 && longest < 400 + 200, qPrintable(asked.join(' ')));
}

void TestMachine::logOfAWholeRun()
{
    // A whole run of the short method, logged as the program logs without --verbose: the run's
    // start and end, no frame, well under 50 KB; the file is rotated past its limit.
    Rig rig({"--speed", "2000"}, mDir->path(), 1, 5);
    QVERIFY(rig.connected);
    SMethod method;
    QVERIFY(JsonControl().openJsonMethod(TAMARIN_SOURCE_DIR "/methods/short-demo.json", method));
    const QString log = mDir->file("tamarin.log");
    QVERIFY(LogFile::install(log, false, 8 * 1024));
    Receiver r(1);
    rig.machine.run(method, &r, 1);
    QVERIFY(r.waitForEvents(1, 60000));
    const QByteArray text = ZGLOBAL::readFile(log) + ZGLOBAL::readFile(log + ".1");
    QVERIFY(text.contains("PCR 1 plays 1092 steps") && text.contains("PCR 1 finished its step list"));
    QVERIFY(!text.contains("发送数据"));
    QVERIFY2(text.size() < 50 * 1024, qPrintable(QString::number(text.size())));
    for (int i = 0; i < 400; ++i)
        qInfo() << "a line of forty characters or so, again" << i;
    QVERIFY(QFileInfo(log).size() <= 8 * 1024 && QFileInfo(log + ".1").size() <= 8 * 1024);
}

#include "tst_machine.moc"
