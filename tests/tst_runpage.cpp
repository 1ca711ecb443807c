#include "CliRunner.h"
#include "ModalAnswer.h"
#include "SimProcess.h"
#include "TestDir.h"
#include "app/DataHead.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "files/RecoveryCopy.h"
#include "instrument/Engine.h"
#include "instrument/Machine.h"
#include "method/JsonControl.h"
#include "ui/charts/ZOriginChart.h"
#include "ui/charts/ZTimeChart.h"
#include "ui/chip/HoleButton.h"
#include "ui/chip/PcrChip.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/home/UiHome.h"
#include "ui/newtest/SampleInfoWidget.h"
#include "ui/results/ZTableWidget.h"
#include "ui/run/ZRunAllWidget.h"
#include "ui/run/ZRunWidget.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

namespace {
const QString ShortMethod = TAMARIN_SOURCE_DIR "/methods/short-demo.json";

QPushButton* button(QWidget* parent, const char* name)
{
    return parent->findChild<QPushButton*>(name);
}

// The notices standing open (shown without waiting for an answer) that say text.
int notices(const QString& text)
{
    int shown = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* label = window->findChild<QLabel*>("label_Info");
        if (qobject_cast<ZMessageBox*>(window) && window->isVisible() && label && label->text() == text)
            ++shown;
    }
    return shown;
}

QString status(QWidget* page)
{
    return page->findChild<QLabel*>("label_TestInfo")->text();
}

// Confirms the start question and lets the page run.
void start(ZRunWidget* page)
{
    ModalAnswer yes("pushButton_Confirm");
    button(page, "pushButton_Start")->click();
    QVERIFY(yes.answered());
}

InData inputs(int module)
{
    InData in;
    JsonControl().openJsonMethod(ShortMethod, in.method);
    in.pcrNumber = module;
    in.dateTime = QDateTime::currentDateTime();
    in.sampleNames = {"a", "b"};
    in.sampleRemarks = {"", ""};
    return in;
}
}

class TestRunPage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void wizardToResults();
    void stopSavesAndFailureAsks();
    void nothingSavedWhileStopping();
    void pageGuards();
    void restoreAtStart();
    void aSilentModuleStaysOwed();
    void closingWithRunsGoing();
    void silentConfiguredPort();

private:
    TestDir mDir;
};

void TestRunPage::initTestCase()
{
    DataHead::instance();
    QVERIFY(QFile::copy(ShortMethod, "json/short-demo.json"));
}

void TestRunPage::wizardToResults()
{
    SimProcess sim({"--speed", "250"}, mDir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    Machine machine(1, 20);
    UiHome home(nullptr, &machine);
    QVERIFY(!button(&home, "pushButton_New")->isEnabled());
    QVERIFY(!home.findChild<QTabWidget*>("tabWidget_Buttons")->tabBar()->tabButton(0, QTabBar::RightSide));
    home.slotMachineData(machine.getMachineData());
    QVERIFY(button(&home, "pushButton_New")->isEnabled());

    {
        ModalAnswer wizard([](QWidget* dialog) {
            button(dialog, "pushButton_Next")->click();
            dialog->findChild<QLineEdit*>("lEditName")->setText("e2e");
            auto* samples = dialog->findChild<SampleInfoWidget*>("widget_Sample");
            samples->nameEdit(0)->setText("a");
            samples->nameEdit(1)->setText("b");
            button(dialog, "pushButton_Next")->click();
            button(dialog, "pushButton_Next")->click();
        });
        button(&home, "pushButton_New")->click();
        QVERIFY(wizard.answered());
    }
    ZRunAllWidget* runs = home.runWindow();
    QVERIFY(runs->isVisible());
    // Where the machine cannot be kept awake, the first test says so, once.
    QCOMPARE(notices(UI::MaySleep), DataHead::instance()->keepsAwake() ? 0 : 1);
    ZRunWidget* page = runs->page(0);
    QVERIFY(page);
    QVERIFY(machine.getMIsEmployed()[page->pcrNumber()]);
    const QString idle = status(page);
    QVERIFY(idle.contains("进度：0.00%"));

    // The readings as the instrument reported them, kept apart from everything the page does.
    QVector<QVector<double>> reported;
    connect(&machine, &Machine::signalConnectData, this, [&reported, page](const ConnectData& data) {
        if (data.pcrIndex == page->pcrNumber() && data.dataType == ConnectData::HOLE_READING)
            reported << data.pdValues;
    });
    start(page);
    QTRY_VERIFY_WITH_TIMEOUT(status(page) != idle && !page->findChild<ZTimeChart*>("chartTime")->getTimeUpLine().isEmpty(), 30000);
    {
        ModalAnswer refused("pushButton_Confirm");
        runs->slotTabCloseRequested(0);
        QCOMPARE(refused.text(), UI::WaitRunWidget);
    }
    QCOMPARE(runs->pageCount(), 1);
    {
        // While it runs, the method is shown and cannot be changed.
        bool readOnly = false;
        ModalAnswer look([&readOnly](QWidget* dialog) {
            readOnly = button(dialog, "pBn_Save")->isHidden() && !dialog->findChild<QWidget*>("groupBox_Chip")->isEnabled();
            dialog->close();
        });
        button(page, "pushButton_InData")->click();
        QVERIFY(readOnly);
    }
    QTRY_VERIFY_WITH_TIMEOUT(page->isRunComplete(), 240000);

    OutData saved;
    QCOMPARE(saved.openAs("usr_data/e2e.pcrd"), 0);
    QVERIFY(saved.runComplete);
    QVERIFY(!QFile::exists("usr_data/.e2e.pcrd.partial"));
    QCOMPARE(reported.size(), 55);
    QCOMPARE(saved.pdLines.size(), 52);
    for (int i = 0; i < 52; ++i)
        for (int k = 0; k < 55; ++k)
            QCOMPARE(saved.pdLines[i].value(k), QPointF(k + 1, reported[k][i]));
    QVERIFY(button(page, "pushButton_NewLight")->isVisibleTo(page) && button(page, "pushButton_MeltLight")->isVisibleTo(page));
    QVERIFY(button(page, "pushButton_Start")->isHidden());
    QCOMPARE(page->findChild<PcrChip*>("widget_Chip")->holeButton(2)->getColorType(), int(HoleButton::AllPositive));
    QVERIFY(!machine.getMIsEmployed()[page->pcrNumber()]);
    const QString title = QString("PCR %1 · e2e · 完成").arg(page->pcrNumber());
    QCOMPARE(runs->findChild<QTabWidget*>("tabWidget")->tabText(0), title);
    QCOMPARE(notices(UI::RunOver.arg(page->pcrNumber()).arg("e2e", "完成")), 1);

    // The table says what the command-line analysis says of the same file.
    const CliResult analysis = runCli({"analyze", "usr_data/e2e.pcrd"});
    QCOMPARE(analysis.code, 0);
    const auto* table = page->findChild<ZTableWidget*>("tableWidget");
    int compared = 0;
    for (const QString& line : analysis.out.split('\n', Qt::SkipEmptyParts).mid(1)) {
        // The same hole under the same number: the table's row is the hole's position.
        const QStringList cells = line.split('\t');
        const int row = cells[3].toInt() - 1;
        QCOMPARE(table->item(row, 2)->text(), cells[2]);
        const int channel = cells[4] == "FAM" ? 0 : 1;
        QCOMPARE(table->item(row, 4 * channel + 4)->text(), cells[6]);
        QCOMPARE(table->item(row, 4 * channel + 5)->text(), cells[7]);
        ++compared;
    }
    QCOMPARE(compared, 48);

    // 导出excel: a name typed without its suffix gets it, the file lands beside the experiment,
    // and the operator is told where.
    auto written = std::make_shared<std::unique_ptr<ModalAnswer>>();
    ModalAnswer save([written](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("m1report");
        *written = std::make_unique<ModalAnswer>("pushButton_Confirm");
        static_cast<QDialog*>(dialog)->accept();
    });
    inNextMenu([](QMenu* menu) {
        for (QAction* action : menu->actions())
            if (action->text() == UI::ActionExportExcel)
                action->trigger();
    });
    page->slotCustomContextMenuRequested(QPoint());
    QTRY_VERIFY(*written && (*written)->answered());
    const QString report = QFileInfo("usr_data/m1report.xlsx").absoluteFilePath();
    QCOMPARE((*written)->text(), UI::FileWritten.arg(QDir::toNativeSeparators(report)));
    QVERIFY(QFile::exists(report));

    // A threshold tried with 设定 and abandoned with 退出 leaves every view and the file as they were.
    const QString ct = table->item(2, 4)->text();
    const OutData before = page->outData();
    ModalAnswer abandon([](QWidget* dialog) {
        dialog->findChild<QCheckBox*>("checkBox_AutoThreshold")->setChecked(false);
        auto* threshold = dialog->findChild<QDoubleSpinBox*>("dSpinBox_BaseT");
        threshold->setValue(threshold->maximum());
        button(dialog, "pushButton_Set")->click();
        button(dialog, "pushButton_Cancel")->click();
    });
    page->slotCellDoubleClicked(2, 4);
    QVERIFY(abandon.answered());
    QCOMPARE(table->item(2, 4)->text(), ct);
    QVERIFY(page->outData() == before);
    QCOMPARE(saved.openAs("usr_data/e2e.pcrd"), 0);
    QVERIFY(saved == before);
    // The table's refresh writes nothing when nothing changed: the file keeps its date.
    const QDateTime fileDate = QFileInfo("usr_data/e2e.pcrd").lastModified();
    QTest::qWait(20);
    page->slotTableWidgetCustomContextMenuRequested(QPoint());
    QCOMPARE(QFileInfo("usr_data/e2e.pcrd").lastModified(), fileDate);

    {
        ModalAnswer yes("pushButton_Confirm");
        runs->slotTabCloseRequested(0);
    }
    QCOMPARE(runs->pageCount(), 0);
    QVERIFY(!runs->isVisible());
}

void TestRunPage::stopSavesAndFailureAsks()
{
    SimProcess sim({"--speed", "250", "--silent-after", "300"}, mDir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    Machine machine(1, 20);
    ZRunAllWidget runs(nullptr, &machine);
    QVERIFY(machine.getMachineData().isOpen);

    // A stop plays the stop sequence and saves what was read, as an incomplete run whose curves
    // without a Ct are not called negative.
    ZRunWidget* stopped = runs.addRunDataWidget(inputs(1), mDir.file("usr_data/stopped.pcrd"));
    start(stopped);
    QTRY_VERIFY_WITH_TIMEOUT(!stopped->findChild<ZTimeChart*>("chartTime")->getTimeUpLine().isEmpty(), 30000);
    // Meanwhile a file of that name appeared: it is kept, and the run saved beside it.
    QVERIFY(OutData().saveAsFilePath("usr_data/stopped.pcrd"));
    ModalAnswers told({"pushButton_Confirm", "pushButton_Confirm"});
    button(stopped, "pushButton_Start")->click(); // the same button now asks whether to stop
    QTRY_VERIFY_WITH_TIMEOUT(!stopped->isRunning() && told.texts().size() == 2, 60000);
    QCOMPARE(told.texts().last(), UI::SavedUnderOtherName.arg("stopped.pcrd", "stopped-2.pcrd"));
    OutData saved;
    QCOMPARE(saved.openAs("usr_data/stopped.pcrd"), 0);
    QVERIFY(saved.pdLines.isEmpty());
    QCOMPARE(saved.openAs("usr_data/stopped-2.pcrd"), 0);
    QVERIFY(!saved.runComplete);
    QCOMPARE(stopped->filePath(), mDir.file("usr_data/stopped-2.pcrd"));
    QCOMPARE(runs.findChild<QTabWidget*>("tabWidget")->tabText(0), QString("PCR 1 · stopped-2 · 未完成"));
    QCOMPARE(status(stopped), QString("检测未完成"));
    const auto* table = stopped->findChild<ZTableWidget*>("tableWidget");
    QCOMPARE(table->item(4, 5)->text(), QString("未完成"));
    QCOMPARE(stopped->findChild<PcrChip*>("widget_Chip")->holeButton(4)->getColorType(), int(HoleButton::NoResult));

    // Closing the finished page leaves module 1 to the test that now runs there.
    ZRunWidget* second = runs.addRunDataWidget(inputs(1), mDir.file("usr_data/second.pcrd"));
    start(second);
    {
        ModalAnswer yes("pushButton_Confirm");
        runs.slotTabCloseRequested(0);
    }
    QVERIFY(machine.getMIsEmployed()[1]);
    ZRunWidget* third = runs.addRunDataWidget(inputs(1), mDir.file("usr_data/third.pcrd"));
    {
        ModalAnswers refused({"pushButton_Confirm", "pushButton_Confirm"});
        button(third, "pushButton_Start")->click();
        QCOMPARE(refused.texts().value(1), UI::PcrBusy.arg(1));
    }
    QVERIFY(!third->isRunning());
    start(second);
    QTRY_VERIFY_WITH_TIMEOUT(!second->isRunning(), 60000);

    // The simulated module falls silent: the question says so; "yes" keeps the readings, marked
    // incomplete, "no" keeps nothing.
    ZRunWidget* failed = runs.addRunDataWidget(inputs(2), mDir.file("usr_data/failed.pcrd"));
    start(failed);
    ModalAnswer yes("pushButton_Confirm", 120000);
    QTRY_VERIFY_WITH_TIMEOUT(yes.answered(), 120000);
    QCOMPARE(yes.text(), UI::ReactError.arg("PCR 2无应答"));
    QVERIFY(QFile::exists("usr_data/failed.pcrd") && !QFile::exists("usr_data/.failed.pcrd.partial"));
    QCOMPARE(saved.openAs("usr_data/failed.pcrd"), 0);
    QVERIFY(!saved.runComplete);
    QVERIFY(saved.inData.remark.contains("PCR 2无应答"));
    QCOMPARE(status(failed), QString("检测未完成：PCR 2无应答"));
    // Its stop sequence goes unanswered too: said in red, and the module stays out of new tests.
    auto* owed = failed->findChild<QLabel*>("label_StopOwed");
    QTRY_VERIFY_WITH_TIMEOUT(!owed->isHidden(), 10000);
    QVERIFY(owed->text().startsWith("PCR 2停止未确认"));
    QVERIFY(machine.getMIsEmployed()[2]);

    ZRunWidget* dropped = runs.addRunDataWidget(inputs(3), mDir.file("usr_data/dropped.pcrd"));
    start(dropped);
    ModalAnswer no("pushButton_Cancel", 120000);
    QTRY_VERIFY_WITH_TIMEOUT(no.answered(), 120000);
    QVERIFY(!QFile::exists("usr_data/dropped.pcrd") && !QFile::exists("usr_data/.dropped.pcrd.partial"));

    // Closing names the modules whose heaters may still be on, in the home window too.
    QTRY_VERIFY_WITH_TIMEOUT(machine.isStopOwed(3), 10000);
    UiHome home(nullptr, &machine);
    MachineData synced;
    synced.isSync = true;
    home.slotMachineData(synced);
    QCOMPARE(home.findChild<QLabel*>("label_StopOwed")->text(), QString("PCR 2停止未确认、PCR 3停止未确认"));
    ModalAnswer keepOpen("pushButton_Cancel");
    home.close();
    QCOMPARE(keepOpen.text(), UI::ClosingStopOwed.arg("PCR 2\nPCR 3"));
}

void TestRunPage::nothingSavedWhileStopping()
{
    // Between the stop and the end of its stop sequence the record is still empty: a right-click
    // that would save it, export it or change its method does nothing then.
    SimProcess sim({"--speed", "10"}, mDir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    Machine machine(25, 20);
    ZRunAllWidget runs(nullptr, &machine);
    QVERIFY(machine.getMachineData().isOpen);
    ZRunWidget* page = runs.addRunDataWidget(inputs(4), mDir.file("usr_data/stopping.pcrd"));
    start(page);
    QTRY_VERIFY_WITH_TIMEOUT(!page->findChild<ZTimeChart*>("chartTime")->getTimeUpLine().isEmpty(), 30000);
    {
        ModalAnswer yes("pushButton_Confirm");
        button(page, "pushButton_Start")->click();
    }
    QVERIFY(page->isRunning());
    page->slotTableWidgetCustomContextMenuRequested(QPoint());
    page->slotCustomContextMenuRequested(QPoint());
    page->slotCellDoubleClicked(0, 4);
    QVERIFY(!QFile::exists("usr_data/stopping.pcrd"));
    ModalAnswer over("pushButton_Confirm", 30000);
    QTRY_VERIFY_WITH_TIMEOUT(!page->isRunning(), 30000);
    QCOMPARE(page->filePath(), mDir.file("usr_data/stopping.pcrd"));
    OutData saved;
    QCOMPARE(saved.openAs("usr_data/stopping.pcrd"), 0);
    QVERIFY(!saved.runComplete && saved.tempLines.value(0).size() > 0);
    QVERIFY(page->findChild<ZTableWidget*>("tableWidget")->rowCount() > 0);
    QVERIFY(!QFile::exists("usr_data/stopping-2.pcrd"));
    // The run window fits a 1366 x 768 screen with its title bar, status line included.
    const QSize least = page->window()->minimumSizeHint();
    QVERIFY2(least.width() <= 1366 && least.height() <= 768 - 60, qPrintable(QString("%1 x %2").arg(least.width()).arg(least.height())));
}

void TestRunPage::pageGuards()
{
    Machine machine(1, 20);
    {
        // A fifth test while four run: said at once, no wizard with an empty module list.
        UiHome home(nullptr, &machine);
        MachineData four;
        four.isSync = four.isOpen = true;
        four.pcrModels = {0, 1, 2, 3, 4};
        home.slotMachineData(four);
        for (int m = 1; m <= 4; ++m)
            machine.setPcrEmployed(true, m, this);
        ModalAnswer told("pushButton_Confirm");
        button(&home, "pushButton_New")->click();
        QCOMPARE(told.text(), UI::AllModulesTaken);
        for (int m = 1; m <= 4; ++m)
            machine.setPcrEmployed(false, m, this);
    }
    {
        // An imported run has readings and no temperature trace: its raw chart is drawn all the same.
        OutData imported;
        imported.inData = inputs(3);
        imported.pdLines = QVector<Curve>(52, Curve{QPointF(1, 500), QPointF(2, 510)});
        ZRunWidget review(nullptr, &machine);
        review.setInData(imported.inData);
        review.setOutData(imported);
        QCOMPARE(review.findChild<ZOriginChart*>("chartOrgin")->vectorLines().value(4), imported.pdLines[4]);
        QVERIFY(review.findChild<QWidget*>("comboBox_Calibrator")->isEnabled()); // a review's choices are open
    }
    ZRunWidget page(nullptr, &machine);
    page.setMFilePath(mDir.file("usr_data/guards.pcrd"));
    page.setInData(inputs(3));
    const QString idle = status(&page);
    ConnectData report;
    report.pcrIndex = 4;
    report.upTemp = report.downTemp = 60;
    report.totalCount = 100;
    report.residueCount = 50;
    page.slotConnectData(report); // another module's
    report.pcrIndex = 3;
    report.residueCount = 101; // more left than the list holds
    page.slotConnectData(report);
    QCOMPARE(status(&page), idle);
    QVERIFY(page.findChild<ZTimeChart*>("chartTime")->getTimeUpLine().isEmpty());
    report.residueCount = 0;
    page.slotConnectData(report);
    QVERIFY(status(&page).contains("进度：100.00%"));

    // A file that is no experiment is refused with a message; the home window stays as it was.
    UiHome home(nullptr, &machine);
    {
        ModalAnswer refused("pushButton_Confirm");
        QVERIFY(!home.slotOpenFile(mDir.file("json/short-demo.json")));
        QCOMPARE(refused.text(), UI::PcrdFileError);
    }
    QCOMPARE(home.findChild<QTabWidget*>("tabWidget_Buttons")->count(), 1);

    // A re-save that fails is reported.
    OutData record;
    record.inData = inputs(3);
    record.runComplete = true;
    ZRunWidget review(nullptr, &machine);
    review.setMFilePath(mDir.file("no-such-folder/x.pcrd"));
    review.setInData(record.inData);
    review.setOutData(record);
    ModalAnswer failure("pushButton_Confirm");
    review.slotTableWidgetCustomContextMenuRequested(QPoint());
    QCOMPARE(failure.text(), UI::SaveDataFailInfo);
}

void TestRunPage::restoreAtStart()
{
    // Two tests a crash interrupted: module 2's, and module 3's while module 3 runs another test.
    OutData crashed;
    crashed.inData = inputs(2);
    crashed.pdLines = QVector<Curve>(52, Curve{QPointF(1, 500), QPointF(2, 510)});
    QVERIFY(RecoveryCopy::write(crashed, mDir.file("usr_data/crashed.pcrd")));
    OutData other = crashed;
    other.inData.pcrNumber = 3;
    QVERIFY(RecoveryCopy::write(other, mDir.file("usr_data/other.pcrd")));

    SimProcess sim({"--speed", "250"}, mDir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    Machine machine(1, 20);
    machine.setPcrEmployed(true, 3, this);
    {
        UiHome home(nullptr, &machine);
        ModalAnswers answers({"pushButton_Confirm", "pushButton_Cancel", "pushButton_Cancel", "pushButton_Confirm"});
        home.restoreInterruptedTests();
        QCOMPARE(answers.texts(), QStringList({UI::RestoreRun.arg("crashed"), UI::RestoreRun.arg("other"),
                                               UI::DiscardRun.arg("other"), UI::SafeModules.arg(2)}));
        auto* tabs = home.findChild<QTabWidget*>("tabWidget_Buttons");
        QCOMPARE(tabs->tabText(tabs->currentIndex()), QString("crashed.pcrd"));
    }
    OutData restored;
    QCOMPARE(restored.openAs("usr_data/crashed.pcrd"), 0);
    QVERIFY(!restored.runComplete);
    QCOMPARE(restored.pdLines, crashed.pdLines);
    QVERIFY(machine.getMIsEmployed()[2]);

    // The stop sequence waits for the link, then reaches module 2 and never module 3.
    QTest::qWait(200);
    QVERIFY(sim.frames().isEmpty());
    QVERIFY(machine.getMachineData().isOpen);
    QTRY_VERIFY_WITH_TIMEOUT(!machine.getMIsEmployed()[2], 10000);
    // The probe asks every address once; then module 2's stop sequence, and nothing for module 3.
    QCOMPARE(sim.frames().mid(5), QStringList({"f9 02 b1 00 00 02 00 00 00 00", "f9 02 a1 00 00 02 00 00 00 00",
                                               "f9 02 e1 00 00 00 00 00 00 00", "f9 02 c3 02 04 09 c4 00 00 00",
                                               "f9 02 c1 02 04 39 c8 00 00 00", "f9 02 d0 02 00 00 00 00 00 00"}));

    // The declined copy is asked about again at the next start, and only it; its module, free now,
    // gets its stop sequence once, not at every start the copy is kept.
    machine.setPcrEmployed(false, 3, this);
    {
        UiHome again(nullptr, &machine);
        ModalAnswers keep({"pushButton_Cancel", "pushButton_Cancel", "pushButton_Confirm"});
        again.restoreInterruptedTests();
        QCOMPARE(keep.texts(), QStringList({UI::RestoreRun.arg("other"), UI::DiscardRun.arg("other"), UI::SafeModules.arg(3)}));
        // Remembered only once module 3 answered its stop sequence.
        QTRY_VERIFY_WITH_TIMEOUT(!machine.getMIsEmployed()[3], 10000);
    }
    UiHome again(nullptr, &machine);
    ModalAnswers discard({"pushButton_Cancel", "pushButton_Confirm"});
    again.restoreInterruptedTests();
    QCOMPARE(discard.texts(), QStringList({UI::RestoreRun.arg("other"), UI::DiscardRun.arg("other")}));
    QVERIFY(RecoveryCopy::pending(mDir.file("usr_data")).isEmpty());
}

void TestRunPage::aSilentModuleStaysOwed()
{
    // A test a crash interrupted on module 2, which no longer answers: its copy is kept, and its
    // stop, never answered, is neither remembered as made nor hidden from the operator.
    OutData crashed;
    crashed.inData = inputs(2);
    crashed.pdLines = QVector<Curve>(52, Curve{QPointF(1, 500)});
    QVERIFY(RecoveryCopy::write(crashed, mDir.file("usr_data/kept.pcrd")));
    SimProcess sim({"--speed", "250", "--silent-module", "2", "--silent-after", "0"}, mDir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    Machine machine(1, 20);
    UiHome home(nullptr, &machine);
    ModalAnswers keep({"pushButton_Cancel", "pushButton_Cancel", "pushButton_Confirm"});
    home.restoreInterruptedTests();
    QVERIFY(machine.getMachineData().isOpen);
    QTRY_VERIFY_WITH_TIMEOUT(machine.isStopOwed(2), 10000);
    QCOMPARE(home.findChild<QLabel*>("label_StopOwed")->text(), QString("PCR 2停止未确认"));
    QVERIFY(machine.getMIsEmployed()[2]);
    QVERIFY(Settings(UI::SettingsFile, QSettings::IniFormat).getMadeSafe().isEmpty());
    QVERIFY(RecoveryCopy::discard(mDir.file("usr_data/kept.pcrd")));
}

void TestRunPage::closingWithRunsGoing()
{
    SimProcess sim({"--speed", "250"}, mDir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    Machine machine(1, 20);
    UiHome home(nullptr, &machine);
    home.slotMachineData(machine.getMachineData());
    ZRunWidget* page = home.runWindow()->addRunDataWidget(inputs(2), mDir.file("usr_data/closing.pcrd"));
    QVERIFY(home.runWindow()->findChild<QPushButton*>("pushButton_Home"));
    start(page);
    QSignalSpy ended(&home, &UiHome::signalEndMachine);
    {
        // The question names the running test; "no" changes nothing.
        ModalAnswer no("pushButton_Cancel");
        home.close();
        QCOMPARE(no.text(), UI::ClosingWithRuns.arg("PCR 2 · closing"));
    }
    QVERIFY(page->isRunning() && ended.isEmpty());
    // "Yes": the module plays its stop sequence, the readings are saved incomplete, and then the
    // program ends.
    ModalAnswer yes("pushButton_Confirm");
    home.close();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 30000);
    OutData saved;
    QCOMPARE(saved.openAs("usr_data/closing.pcrd"), 0);
    QVERIFY(!saved.runComplete);
    const QStringList frames = sim.frames();
    QCOMPARE(frames.last(), QString("f9 02 d0 02 00 00 00 00 00 00"));
}

void TestRunPage::silentConfiguredPort()
{
    // A configured port that answers nothing: the adapters are searched after it, and the
    // operator is told once, however often the monitor looks.
    const QString stale = mDir.file("ttyUSB-gone");
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(stale);
    Machine machine(1, 20);
    QCOMPARE(Engine().getCurrentComList().value(0), stale);
    const MachineData data = machine.getMachineData();
    QVERIFY(data.isSync && !data.isOpen);
    QCOMPARE(data.silentPort, stale);
    UiHome home(nullptr, &machine);
    home.slotMachineData(data);
    home.slotMachineData(machine.getMachineData());
    QCOMPARE(notices(UI::ConfiguredPortSilent.arg(stale)), 1);
}

QTEST_MAIN(TestRunPage)
#include "tst_runpage.moc"
