#include "SimProcess.h"
#include "TestDir.h"
#include "UpdateRun.h"
#include "app/DataHead.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "app/ZGLOBAL.h"
#include "instrument/ListenInterface.h"
#include "instrument/Machine.h"
#include "method/JsonControl.h"
#include "ui/home/UiHome.h"
#include "ui/run/ZRunAllWidget.h"
#include "ui/run/ZRunWidget.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>

// No person ever holds up a module: a question, a dialog or a click is served between steps,
// and the other modules keep the method's pace while it stands open.
class TestPacing : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void aQuestionHoldsNoModule();
    void aClickIsServedDuringASlowStep();
    void anUpdateLeavesRunsAlone();

private:
    InData inputs(int module) const;
    TestDir mDir;
    SMethod mMethod;
};

namespace {
QPushButton* button(QWidget* parent, const char* name)
{
    return parent->findChild<QPushButton*>(name);
}

void start(ZRunWidget* page)
{
    ModalAnswer yes("pushButton_Confirm");
    button(page, "pushButton_Start")->click();
    QVERIFY(yes.answered());
}

// When the simulator received the requests for a module ("01"), or all requests (""), in its
// own milliseconds.
QVector<qint64> requestTimes(const SimProcess& sim, const QString& module)
{
    QVector<qint64> times;
    QFile log(sim.logPath());
    if (!log.open(QIODevice::ReadOnly))
        return times;
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 2 && (module.isEmpty() || fields[2] == module.toLatin1()))
            times << fields[0].toLongLong();
    }
    return times;
}

// The largest pause between the times that fall within [from, to], the bounds included.
qint64 largestGap(const QVector<qint64>& times, qint64 from, qint64 to)
{
    qint64 gap = 0;
    qint64 last = from;
    for (qint64 t : times) {
        if (t < from)
            continue;
        gap = qMax(gap, qMin(t, to) - last);
        last = t;
        if (t >= to)
            return gap;
    }
    return qMax(gap, to - last);
}
}

void TestPacing::initTestCase()
{
    DataHead::instance();
    // The short method with eight cycles and no melt: long enough to outlast a question held for
    // 10 s at 100 ms a step.
    QJsonObject method = QJsonDocument::fromJson(ZGLOBAL::readFile(TAMARIN_SOURCE_DIR "/methods/short-demo.json")).object();
    QJsonArray flow = method["流程"].toArray();
    QJsonArray cycle = flow[1].toArray();
    cycle[1] = 8;
    method["流程"] = QJsonArray{flow[0], cycle};
    QVERIFY(ZGLOBAL::writeFile("json/eight.json", QJsonDocument(method).toJson()));
    QVERIFY(JsonControl().openJsonMethod("json/eight.json", mMethod));
}

InData TestPacing::inputs(int module) const
{
    InData in;
    in.method = mMethod;
    in.pcrNumber = module;
    in.dateTime = QDateTime::currentDateTime();
    in.sampleNames = {"a", "b"};
    in.sampleRemarks = {"", ""};
    return in;
}

void TestPacing::aQuestionHoldsNoModule()
{
    // Module 3 falls silent in the middle of its first cycle reading while 1, 2 and 4 run on.
    SimProcess sim({"--speed", "10", "--silent-in-reading", "20", "--silent-module", "3"}, mDir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    Machine machine(25, 20); // 100 ms a step
    ZRunAllWidget runs(nullptr, &machine);
    QVERIFY(machine.getMachineData().isOpen);
    ZRunWidget* healthy = runs.addRunDataWidget(inputs(1), mDir.file("usr_data/healthy.pcrd"));
    ZRunWidget* silent = runs.addRunDataWidget(inputs(3), mDir.file("usr_data/silent.pcrd"));

    const QVector<qint64> probe = requestTimes(sim, "");
    QVERIFY(!probe.isEmpty());
    const qint64 simAtStart = probe.last();
    QElapsedTimer clock;
    clock.start();
    QVector<QVector<double>> readings;
    connect(&machine, &Machine::signalConnectData, this, [&](const ConnectData& data) {
        if (data.pcrIndex == 1 && data.dataType == ConnectData::HOLE_READING)
            readings << data.pdValues;
    });
    ZRunWidget* two = runs.addRunDataWidget(inputs(2), mDir.file("usr_data/two.pcrd"));
    ZRunWidget* four = runs.addRunDataWidget(inputs(4), mDir.file("usr_data/four.pcrd"));
    qint64 lastBeat = -1, lateBeat = 0;
    QTimer beat;
    connect(&beat, &QTimer::timeout, [&] {
        if (lastBeat >= 0)
            lateBeat = qMax(lateBeat, clock.elapsed() - lastBeat - 10);
        lastBeat = clock.elapsed();
    });
    beat.start(10);
    start(healthy);
    start(two);
    start(four);
    start(silent);

    // Module 3's error question stands open for 10 s.
    qint64 opened = -1, closed = -1;
    QString question;
    ModalAnswer held(
        [&](QWidget* box) {
            opened = clock.elapsed();
            question = box->findChild<QLabel*>("label_Info")->text();
            QTimer::singleShot(10000, box, [&, box] {
                closed = clock.elapsed();
                button(box, "pushButton_Confirm")->click();
            });
        },
        60000);
    QTRY_VERIFY_WITH_TIMEOUT(closed >= 0, 60000);
    QCOMPARE(question, UI::ReactError.arg(UI::NoAnswer.arg(3)));
    QVERIFY2(healthy->isRunning(), "the healthy run must outlast the question");
    // The simulator's clock started before ours: its times are shifted onto ours by the probe's
    // last request, sent right before our clock started.
    QVector<qint64> requests;
    for (qint64 t : requestTimes(sim, "01"))
        requests << t - simAtStart;
    const qint64 gap = largestGap(requests, opened, closed);
    // The method itself has waits without a request (800 ms here), and a busy machine may stretch
    // them: the question must add no pause that matters next to them. A held-up module would
    // show a gap as long as the question stood open (10 s).
    const qint64 ownGap = largestGap(requests, requests.value(0), opened);
    qInfo() << "largest gap between module 1's requests while the question stood open:" << gap << "ms; before it:" << ownGap << "ms";
    for (const QString& m : {QString("02"), QString("04")}) {
        QVector<qint64> r;
        for (qint64 t : requestTimes(sim, m))
            r << t - simAtStart;
        qInfo() << "module" << m << "gap while open:" << largestGap(r, opened, closed) << "before:" << largestGap(r, r.value(0), opened);
        QVERIFY(largestGap(r, opened, closed) < qMax<qint64>(largestGap(r, r.value(0), opened), 800) + 500);
    }
    qInfo() << "the window's 10 ms timer was late by at most" << lateBeat << "ms";
    QVERIFY2(lateBeat < 50, qPrintable(QString::number(lateBeat)));
    QVERIFY2(gap < qMax<qint64>(ownGap, 800) + 1000, qPrintable(QString("%1 against %2").arg(gap).arg(ownGap)));

    QTRY_VERIFY_WITH_TIMEOUT(!healthy->isRunning(), 60000);
    OutData saved;
    QCOMPARE(saved.openAs("usr_data/healthy.pcrd"), 0);
    QVERIFY(saved.runComplete);
    QCOMPARE(readings.size(), saved.pdLines.value(0).size());
    for (int i = 0; i < saved.pdLines.size(); ++i)
        for (int k = 0; k < readings.size(); ++k)
            QCOMPARE(saved.pdLines[i][k].y(), readings[k][i]);
    QCOMPARE(saved.openAs("usr_data/silent.pcrd"), 0);
    QVERIFY(!saved.runComplete);
}

void TestPacing::aClickIsServedDuringASlowStep()
{
    // Every reply comes 40 ms late, so a step spends most of its time waiting for the instrument.
    SimProcess sim({"--speed", "10", "--latency", "40"}, mDir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    Machine machine(25, 20);
    UiHome home(nullptr, &machine);
    home.slotMachineData(machine.getMachineData());
    ZRunWidget* page = home.runWindow()->addRunDataWidget(inputs(1), mDir.file("usr_data/clicked.pcrd"));
    int reports = 0;
    connect(&machine, &Machine::signalConnectData, this, [&reports] { ++reports; });
    start(page);
    QTRY_VERIFY(reports > 3);

    // A click on 关于 while the module waits for its slow replies.
    QPushButton* about = button(&home, "pBn_Update");
    auto posted = std::make_shared<QMetaObject::Connection>();
    *posted = connect(&machine, &Machine::signalConnectData, this, [about, posted] {
        const QPointF centre = about->rect().center();
        QCoreApplication::postEvent(about, new QMouseEvent(QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(about, new QMouseEvent(QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        QObject::disconnect(*posted);
    });

    // While the dialog stands open for 3 s the run goes on.
    int duringDialog = -1;
    ModalAnswer dialog(
        [&](QWidget* box) {
            const int before = reports;
            QTest::qWait(3000);
            duringDialog = reports - before;
            box->close();
        },
        5000);
    QTRY_VERIFY_WITH_TIMEOUT(duringDialog >= 0, 10000);
    QVERIFY2(duringDialog >= 10, qPrintable(QString::number(duringDialog)));
    machine.stop(1);
    QTRY_VERIFY_WITH_TIMEOUT(!page->isRunning(), 30000);
}

void TestPacing::anUpdateLeavesRunsAlone()
{
    HttpsServer server(TAMARIN_SOURCE_DIR "/tests/data");
    DataHead::instance()->getMpSettings()->setHttpIp(server.base());
    SimProcess sim({"--speed", "10"}, mDir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    Machine machine(25, 20);
    ListenInterface listen(&machine, 50, 200);
    QSignalSpy states(&listen, &ListenInterface::signalMachineData);
    QVERIFY(states.wait(5000) && states.last().first().value<MachineData>().isOpen);

    // While module 2 runs, the installer is not started and the port stays open.
    ControlElement reading;
    reading.kind = GET_TEMP;
    QStack<ControlElement> readings;
    readings.fill(reading, 600);
    QVERIFY(machine.play(readings, SMethod(), nullptr, 2));
    QCOMPARE(runUpdate(server, "not a program", QString(), 3, &machine),
             qMakePair(QStringList({UI::UpdateFileSuccess, UI::InstallWhileRunning.arg("PCR 2")}), 0));
    QVERIFY(machine.isOpenState() && machine.isPcrRunning(2));

    // With no run left, an installer that cannot be started leaves the instrument usable: the
    // monitor opens the port again and a new test runs.
    QSignalSpy ends(&machine, &Machine::signalReactInfo);
    machine.stop(2);
    QVERIFY(ends.wait(10000));
    QCOMPARE(runUpdate(server, "not a program", QString(), 3, &machine),
             qMakePair(QStringList({UI::UpdateFileSuccess, UI::InstallerStartError.arg("0.1.0")}), 0));
    QTRY_VERIFY_WITH_TIMEOUT(machine.isOpenState() && states.last().first().value<MachineData>().isOpen, 10000);
    readings.resize(1);
    QVERIFY(machine.play(readings, SMethod(), nullptr, 1));
    QVERIFY(ends.wait(5000));
    QCOMPARE(ends.last().first().value<Machine::REACT_INFO>(), Machine::REACT_FINISHED);
}

QTEST_MAIN(TestPacing)
#include "tst_pacing.moc"
