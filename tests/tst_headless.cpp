#include "CliRunner.h"
#include "SimProcess.h"
#include "TestDir.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "app/ZGLOBAL.h"
#include "files/OutData.h"
#include "files/RecoveryCopy.h"
#include "instrument/ListenInterface.h"
#include "instrument/Machine.h"

#include <QSignalSpy>

#include <algorithm>

class TestHeadless : public QObject
{
    Q_OBJECT
private slots:
    void monitorReportsNoInstrument();
    void runSavesAndAnalyses();
    void sampleSheetInResultsOut();
    void runRefusals();
    void interruptPlaysTheStopSequence();
};

void TestHeadless::monitorReportsNoInstrument()
{
    TestDir dir;
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(dir.file("nothing-here"));
    Machine machine(250, 20);
    ListenInterface listen(&machine, 100, 300);
    QSignalSpy states(&listen, &ListenInterface::signalMachineData);
    QVERIFY(states.wait(5000));
    const MachineData first = states.last().first().value<MachineData>();
    QVERIFY(first.isSync);
    QVERIFY(!first.isOpen);
    // While disconnected the monitor keeps looking: here the simulator appears at that name.
    SimProcess sim({"--link", dir.file("nothing-here")}, dir.path());
    QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty() && states.last().first().value<MachineData>().isOpen, 10000);
    QCOMPARE(states.last().first().value<MachineData>().pcrModels, QVector<quint8>({0, 1, 2, 3, 4}));
}

void TestHeadless::runSavesAndAnalyses()
{
    TestDir dir;
    SimProcess sim({"--speed", "250"}, dir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    const CliResult r = runCli({"run", "--method", TAMARIN_SOURCE_DIR "/methods/short-demo.json", "--module", "2",
                                "--name", "e2e", "--samples", "甲,乙", "--step-ms", "4"},
                               300000);
    QVERIFY2(r.code == 0, qPrintable(r.err + r.out.right(2000)));
    QVERIFY(r.out.contains("循环：30/30 溶解步骤：25/25"));
    QVERIFY(r.out.contains("saved " + dir.path() + "/usr_data/e2e.pcrd"));

    OutData data;
    QCOMPARE(data.openAs("usr_data/e2e.pcrd"), 0);
    QVERIFY(data.runComplete);
    QCOMPARE(data.version, 1);
    QCOMPARE(data.inData.pcrNumber, 2);
    QCOMPARE(data.inData.sampleNames, QVector<QString>({"甲", "乙"}));
    QCOMPARE(data.pdLines.size(), 52);
    QCOMPARE(data.pdLines[4].size(), 55);
    QCOMPARE(data.tempLines.size(), 2);
    // The upper heater's curve shows the method's denaturation at 95 degC.
    const auto hottest = std::max_element(data.tempLines[0].begin(), data.tempLines[0].end(),
                                          [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    QVERIFY(hottest != data.tempLines[0].end() && std::fabs(hottest->y() - 95.0) < 0.5);

    // The table: hole 3 FAM positive (the scenario's Ct 18) at Tm 81.5; hole 5 FAM negative.
    const QStringList lines = r.out.split('\n');
    const int header = lines.indexOf(QRegularExpression("^样本号.*"));
    QVERIFY(header > 0);
    const QStringList hole3 = lines[header + 1].split('\t');
    QCOMPARE(hole3.mid(0, 5), QStringList({"1", "甲", "1", "3", "FAM"}));
    QCOMPARE(hole3[7], QString("阳性"));
    // The shipped method's threshold is one for the plate, at a fifth of the positives' plateau:
    // four times the scenario's 100 units, so the crossing comes about two cycles after its Ct.
    QVERIFY2(std::fabs(hole3[6].toDouble() - 20.0) < 1.0, qPrintable(hole3[6]));
    QVERIFY2(std::fabs(hole3[8].toDouble() - 81.5) < 0.3, qPrintable(hole3[8]));
    const QStringList hole5 = lines[header + 5].split('\t');
    QCOMPARE(hole5.mid(2, 3), QStringList({"3", "5", "FAM"}));
    QCOMPARE(hole5[7], QString("阴性"));
}

void TestHeadless::sampleSheetInResultsOut()
{
    TestDir dir;
    SimProcess sim({"--speed", "250"}, dir.path());
    Settings settings(UI::SettingsFile, QSettings::IniFormat);
    settings.setComName(sim.path());
    settings.setValue("LIS/Folder", dir.file("lis"));
    settings.setValue("LIS/SendAfterRun", true);
    settings.sync();
    QVERIFY(QDir().mkdir("lis"));
    QVERIFY(ZGLOBAL::writeFile("plate.csv", QStringLiteral("孔位,样本名,类型\n1,甲,unkn\n2,甲,unkn\n13,乙,opt\n").toUtf8()));
    const CliResult r = runCli({"run", "--method", TAMARIN_SOURCE_DIR "/methods/short-demo.json", "--module", "1",
                                "--name", "sheet", "--sample-sheet", "plate.csv", "--step-ms", "4"},
                               300000);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    OutData data;
    QCOMPARE(data.openAs("usr_data/sheet.pcrd"), 0);
    QCOMPARE(data.inData.sampleNames, QVector<QString>({QStringLiteral("甲"), QStringLiteral("乙")}));
    QCOMPARE(data.inData.setup.sampleTypes.value(1).type, QString("opt"));
    // The run's results went to the LIS as it ended.
    const QStringList sent = QDir("lis").entryList({"sheet-*.hl7"});
    QCOMPARE(sent.size(), 1);
    QVERIFY(r.out.contains(QStringLiteral("结果已发送到LIS：") + dir.file("lis/" + sent[0])));
    QVERIFY(ZGLOBAL::readFile("lis/" + sent[0]).contains(QStringLiteral("OBR|2|乙|sheet-2|TM-DEMO-01^快速演示^L").toUtf8()));
}

void TestHeadless::runRefusals()
{
    TestDir dir;
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(dir.file("no-such-port"));
    const QString method = TAMARIN_SOURCE_DIR "/methods/short-demo.json";
    const CliResult none = runCli({"run", "--method", method, "--module", "1", "--name", "x"});
    QCOMPARE(none.code, 1);
    QVERIFY(none.err.contains(UI::NoFoundPcr));
    QCOMPARE(runCli({"run", "--method", method, "--module", "7", "--name", "x"}).code, 1);

    // Refused before the first frame: an unsafe hold, a name that cannot be saved, an existing
    // experiment, a folder that cannot be written.
    SimProcess sim({"--modules", "3"}, dir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    const QByteArray hold95 = ZGLOBAL::readFile(method);
    QVERIFY(hold95.contains("10,\n                95,"));
    for (const char* slip : {"950", "-5"}) {
        QByteArray text = hold95;
        QVERIFY(ZGLOBAL::writeFile("slip.json", text.replace("10,\n                95,", QByteArray("10, ") + slip + ",")));
        const CliResult unsafe = runCli({"run", "--method", "slip.json", "--module", "3", "--name", "u"});
        QCOMPARE(unsafe.code, 1);
        QVERIFY2(unsafe.err.contains(UI::HoldTempError.arg(1).arg(1).arg(slip)), qPrintable(unsafe.err));
    }
    QVERIFY(QDir("usr_data").removeRecursively());
    QVERIFY(ZGLOBAL::writeFile("usr_data", "a file where the experiment folder belongs"));
    const CliResult unwritable = runCli({"run", "--method", method, "--module", "3", "--name", "w"});
    QCOMPARE(unwritable.code, 1);
    QVERIFY(unwritable.err.contains(UI::SaveDataFailInfo));
    QVERIFY(QFile::remove("usr_data") && QDir().mkpath("usr_data"));
    for (const QString& name : {QString("../x"), QString(251, QChar(0x6837))}) {
        const CliResult invalid = runCli({"run", "--method", method, "--module", "3", "--name", name});
        QCOMPARE(invalid.code, 1);
        QVERIFY(invalid.err.contains(UI::NameInvalid));
    }
    QVERIFY(OutData().saveAsFilePath("usr_data/kept.pcrd"));
    const CliResult exists = runCli({"run", "--method", method, "--module", "3", "--name", "kept"});
    QCOMPARE(exists.code, 1);
    QVERIFY(exists.err.contains(UI::NameRepeat));
    QCOMPARE(sim.frames(), QStringList());
    QCOMPARE(QDir("usr_data").entryList(QDir::Files | QDir::Hidden), QStringList({"kept.pcrd"}));
    // The readings of a killed run wait in its recovery copy: its name is not taken again.
    QVERIFY(RecoveryCopy::write(OutData(), "usr_data/killed.pcrd"));
    const CliResult pending = runCli({"run", "--method", method, "--module", "3", "--name", "killed"});
    QCOMPARE(pending.code, 1);
    QVERIFY(pending.err.contains(UI::NamePending));
    QVERIFY(QFile::exists("usr_data/.killed.pcrd.partial"));
    QCOMPARE(sim.frames(), QStringList());

    const CliResult absent = runCli({"run", "--method", method, "--module", "1", "--name", "y"});
    QCOMPARE(absent.code, 1);
    QVERIFY(absent.err.contains("PCR module 1 does not answer"));
}

void TestHeadless::interruptPlaysTheStopSequence()
{
    TestDir dir;
    SimProcess sim({"--speed", "250"}, dir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    QProcess cli;
    cli.start(TAMARIN_CLI, {"run", "--method", TAMARIN_SOURCE_DIR "/methods/short-demo.json", "--module", "3",
                            "--name", "stopped", "--step-ms", "4"});
    QVERIFY(cli.waitForStarted());
    // Let it get going (the first temperature lines), then ask it to stop as Ctrl-C would.
    QTRY_VERIFY_WITH_TIMEOUT(cli.bytesAvailable() > 2000, 60000);
    cli.terminate();
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QString out = QString::fromUtf8(cli.readAll());
    QVERIFY(out.contains("stopping: playing the stop sequence"));
    QVERIFY(out.contains("saved"));
    // The last frames on the wire are the stop sequence: heaters off, lamps, rotors, red lamp.
    const QStringList frames = sim.frames();
    QCOMPARE(frames.mid(frames.size() - 6), QStringList({"f9 03 b1 00 00 02 00 00 00 00", "f9 03 a1 00 00 02 00 00 00 00",
                                                         "f9 03 e1 00 00 00 00 00 00 00", "f9 03 c3 02 04 09 c4 00 00 00",
                                                         "f9 03 c1 02 04 39 c8 00 00 00", "f9 03 d0 02 00 00 00 00 00 00"}));
    // Stopped early, the file is incomplete, and no curve without a Ct is called negative.
    OutData data;
    QCOMPARE(data.openAs("usr_data/stopped.pcrd"), 0);
    QVERIFY(!data.runComplete);
    QVERIFY(!data.tempLines[0].isEmpty());
    const QString table = runCli({"analyze", "usr_data/stopped.pcrd"}).out;
    QVERIFY2(table.contains("未完成") && !table.contains("阴性"), qPrintable(table));
}

QTEST_GUILESS_MAIN(TestHeadless)
#include "tst_headless.moc"
