#include "NoisyRun.h"
#include "files/RecoveryCopy.h"

#include <QProcess>

using namespace NoisyRun;


// The fault drills: every simulated fault, and a run killed outright, with the outcome a user wants.
class TestDrills : public QObject
{
    Q_OBJECT
private slots:
    void faultDrills_data();
    void faultDrills();
    void theStopIsPlayedWhenTheLinkComesBack();
    void killDrills_data();
    void killDrills();
};

void TestDrills::faultDrills_data()
{
    // What a user would want of each fault: exit 0 with every reading exact when the link
    // recovers, or exit 3 with the readings so far kept (marked incomplete); 1 with nothing
    // started when no module answers at all.
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<int>("code");
    QTest::newRow("slow replies") << QStringList{"--latency", "8"} << 0;
    // A reply that comes late answers no other request: every reading stays its own hole's (the
    // soak test adds replies sent twice and for another position).
    QTest::newRow("late readings") << QStringList{"--late-every", "7", "--drop-codes", "c2"} << 0;
    QTest::newRow("silent in its stop sequence") << QStringList{"--silent-in-stop", "1"} << 4;
    QTest::newRow("replies in pieces") << QStringList{"--split", "3", "--split-gap", "2"} << 0;
    // A module that does not answer its stop sequence may keep its heaters on: exit 4, said.
    QTest::newRow("module falls silent") << QStringList{"--silent-after", "400"} << 4;
    QTest::newRow("terminal vanishes") << QStringList{"--vanish-after", "400"} << 4;
    QTest::newRow("every CRC swapped") << QStringList{"--swap-crc"} << 1;
}

void TestDrills::faultDrills()
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
    const int misplaced = SimReadings::misplaced(o.saved, dir.file("replies.log"), 1);
    qInfo("%d of %d saved position readings misplaced", misplaced, int(o.saved.pdLines.value(0).size()) * 13);
    QCOMPARE(misplaced, 0);
    if (faults.contains("--late-every")) {
        QCOMPARE(o.saved.pdLines.value(51).size(), 55);
        return;
    }
    QCOMPARE(o.cli.out.contains("the stop sequence could not be played; check the module"), code == 4);
    if (code == 0)
        QCOMPARE(o.answered.size(), 55);
    compareReadings(o);
}

void TestDrills::theStopIsPlayedWhenTheLinkComesBack()
{
    // The terminal vanishes mid-run and comes back at its name: the headless run finds it again
    // and its module gets the stop sequence (exit 3, a failed run with its heaters off, not 4).
    TestDir dir;
    SimProcess sim({"--speed", "250", "--link", dir.file("tty"), "--vanish-after", "400", "--return-after", "300"}, dir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(dir.file("tty"));
    const CliResult r = runCli({"run", "--method", TAMARIN_SOURCE_DIR "/methods/short-demo.json", "--module", "1", "--name", "back",
                                "--step-ms", "4", "--link-wait-ms", "10000"},
                               60000);
    QVERIFY2(r.code == 3, qPrintable(r.out.right(400)));
    QVERIFY(r.out.contains("PCR 1连接中断") && r.out.contains("stop sequence played"));
    QVERIFY(sim.frames().mid(400).contains("f9 01 b1 00 00 02 00 00 00 00"));
}

void TestDrills::killDrills_data()
{
    QTest::addColumn<int>("after");
    QTest::newRow("before the first reading") << 0;
    QTest::newRow("mid-cycle") << 12;
    QTest::newRow("mid-melt") << 40;
}

void TestDrills::killDrills()
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

QTEST_GUILESS_MAIN(TestDrills)
#include "tst_drills.moc"
