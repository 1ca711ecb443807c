#include "ModalAnswer.h"
#include "Synthetic.h"
#include "TestDir.h"
#include "analysis/TempData.h"
#include "app/DataHead.h"
#include "app/ExperimentName.h"
#include "app/UI.h"
#include "app/ZGLOBAL.h"
#include "files/RecoveryCopy.h"
#include "instrument/Machine.h"
#include "method/ChipLayouts.h"
#include "method/JsonControl.h"
#include "ui/editor/Coordinate.h"
#include "ui/editor/MethodDialog.h"
#include "ui/editor/NodeWidget.h"
#include "ui/editor/ZParameterDialog.h"
#include "ui/newtest/NewDialog.h"
#include "ui/newtest/SampleInfoWidget.h"
#include "ui/results/ZHighDialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTableWidget>

namespace {
MachineData modules(QVector<quint8> present)
{
    MachineData data;
    data.isSync = true;
    data.isOpen = true;
    data.pcrModels = present;
    return data;
}

// Presses Next and returns what the dialog said, or "" when it moved on without a word.
QString next(NewDialog& dialog)
{
    ModalAnswer answer("pushButton_Confirm");
    dialog.findChild<QPushButton*>("pushButton_Next")->click();
    return answer.answered() ? answer.text() : QString();
}

int page(const NewDialog& dialog)
{
    return dialog.findChild<QStackedWidget*>("stackedWidget")->currentIndex();
}

QLineEdit* nameEdit(const NewDialog& dialog)
{
    return dialog.findChild<QLineEdit*>("lEditName");
}

// Chooses the entry of the menu that opens next.
void chooseInNextMenu(const QString& entry)
{
    inNextMenu([entry](QMenu* menu) {
        for (QAction* action : menu->actions())
            if (action->text() == entry)
                action->trigger();
    });
}
}

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void wizardModulesAndNames();
    void wizardMethodsAndResult();
    void settingsDialog();
    void parameterDialog();
    void methodDialog();
    void everyHoldComesBack();
    void wizardSampleSheet();

private:
    TestDir mDir;
};

void TestDialogs::initTestCase()
{
    DataHead::instance(); // the working folders
    QVERIFY(QFile::copy(TAMARIN_SOURCE_DIR "/methods/short-demo.json", "json/sample.json"));
    QVERIFY(ZGLOBAL::writeFile("json/bad.json", "{ not a method"));
}

void TestDialogs::wizardModulesAndNames()
{
    Machine::instance()->setPcrEmployed(true, 1, this);
    NewDialog none(modules({0, 1, 0, 0, 0}));
    QCOMPARE(next(none), UI::NoFoundPcr);
    NewDialog dialog(modules({0, 1, 2, 0, 0}));
    auto* pcr = dialog.findChild<QComboBox*>("cBox_Pcr");
    QCOMPARE(pcr->count(), 1);
    QCOMPARE(pcr->itemText(0), QString("PCR 2"));
    Machine::instance()->setPcrEmployed(false, 1, this);

    QCOMPARE(next(dialog), QString());
    QCOMPARE(page(dialog), 1);
    QVERIFY(nameEdit(dialog)->text().contains(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d\\d$")));
    for (const QString& bad : {QString("   "), QString(".."), QString(201, 'x')}) {
        nameEdit(dialog)->setText(bad);
        QCOMPARE(next(dialog), UI::NameInvalid);
    }
    for (const QString& edges : {QString("name."), QString("name ")}) {
        nameEdit(dialog)->setText(edges);
        QCOMPARE(next(dialog), UI::NameEdges); // said on its own: a blank at the end is hard to see
    }
    {
        ModalAnswer answer("pushButton_Confirm");
        nameEdit(dialog)->setText("a");
        QTest::keyClicks(nameEdit(dialog), "/");
        QCOMPARE(answer.text(), UI::NameForbiddenChar);
    }
    QCOMPARE(nameEdit(dialog)->text(), QString());
    // A name in use: an experiment, a test open in a page (running or not yet saved), a recovery
    // copy waiting to be restored.
    QVERIFY(OutData().saveAsFilePath("usr_data/taken.pcrd"));
    ExperimentName::open("usr_data/running.pcrd");
    QVERIFY(RecoveryCopy::write(OutData(), "usr_data/crashed.pcrd"));
    const QVector<QPair<QString, QString>> inUse = {{"taken", UI::NameRepeat}, {"running", UI::NameInUse}, {"crashed", UI::NamePending}};
    for (const auto& [name, fault] : inUse) {
        nameEdit(dialog)->setText(name);
        QCOMPARE(next(dialog), fault);
    }
    ExperimentName::close("usr_data/running.pcrd");
    QVERIFY(QFile::exists(RecoveryCopy::pathFor("usr_data/crashed.pcrd")));
    nameEdit(dialog)->setText("taken");
    nameEdit(dialog)->setText("fine");
    QCOMPARE(next(dialog), QString());
    QCOMPARE(page(dialog), 2);
    nameEdit(dialog)->setText("taken"); // the existing experiment is refused on the last page too
    QCOMPARE(next(dialog), UI::NameRepeat);
}

void TestDialogs::wizardMethodsAndResult()
{
    NewDialog dialog(modules({0, 1, 2, 3, 4}));
    QVERIFY(QFile::exists("qvi/sample.qvi"));
    QVERIFY(!QFile::exists("qvi/bad.qvi"));
    auto* methods = dialog.findChild<QComboBox*>("comboBox");
    QCOMPARE(methods->count(), 2);
    methods->setCurrentIndex(methods->findData("sample.json"));
    QCOMPARE(methods->currentText(), QString("快速演示")); // by its own name
    dialog.findChild<QComboBox*>("cBox_Pcr")->setCurrentIndex(2);

    QTimer::singleShot(0, [&dialog] {
        QCOMPARE(next(dialog), QString());
        nameEdit(dialog)->setText("run-1");
        dialog.findChild<QLineEdit*>("lineEdit_Remark")->setText("备注");
        auto* samples = dialog.findChild<SampleInfoWidget*>("widget_Sample");
        samples->nameEdit(0)->insert("病人甲"); // as an input method commits it
        samples->remarkEdit(1)->insert("复查");
        {
            // "no" keeps the second sample unnamed and goes on.
            ModalAnswer keep("pushButton_Cancel");
            dialog.findChild<QPushButton*>("pushButton_Next")->click();
            QCOMPARE(keep.text(), UI::UnnamedSamples.arg(1));
        }
        QCOMPARE(page(dialog), 2);
        // The program may still be edited: the first hold goes to 94 degC.
        dialog.findChild<Coordinate*>("scrollContents")->nodeList()[0]->tempBox()->setValue(94.0);
        dialog.findChild<QPushButton*>("pushButton_Next")->click();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    const InData in = dialog.getMCurrentData();
    QCOMPARE(in.pcrNumber, 3);
    QCOMPARE(in.sampleNames, QVector<QString>({"病人甲", ""}));
    QCOMPARE(in.sampleRemarks, QVector<QString>({"", "复查"}));
    QCOMPARE(in.remark, QString("备注"));
    QCOMPARE(in.serialNumber, in.dateTime.toString("yyyyMMdd_hhmmss"));
    QCOMPARE(in.method.Name, QString("快速演示"));
    QCOMPARE(in.method.Flow.steps[0].NodeList[0].Temp, 94.0);
    QVERIFY(dialog.getMFilePath().endsWith("/usr_data/run-1.pcrd"));

    SampleInfoWidget grid;
    grid.restInfo(26, 3);
    auto* layout = static_cast<QGridLayout*>(grid.layout());
    int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
    layout->getItemPosition(layout->indexOf(grid.nameEdit(1)), &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(QPoint(column, row), QPoint(5, 0));
    layout->getItemPosition(layout->indexOf(grid.nameEdit(2)), &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(QPoint(column, row), QPoint(1, 1));

    // Types below the names: all unknowns store nothing; a standard needs its quantity.
    QVERIFY(grid.getSampleTypes().isEmpty());
    grid.typeBox(0)->setCurrentIndex(grid.typeBox(0)->findData("std"));
    QVERIFY(grid.quantityEdit(0)->isEnabled() && !grid.quantityEdit(1)->isEnabled());
    QCOMPARE(grid.typeFault(), QString("样本1是标准品，需要大于0的定量。"));
    QTest::keyClicks(grid.quantityEdit(0), "1e3");
    grid.typeBox(2)->setCurrentIndex(grid.typeBox(2)->findData("ntc"));
    QCOMPARE(grid.typeFault(), QString());
    QCOMPARE(grid.getSampleTypes(), QVector<SampleType>({{"std", 1000, "cop"}, {}, {"ntc", 0, {}}}));
    grid.restInfo(26, 2); // kept for the samples that remain
    QCOMPARE(grid.getSampleTypes(), QVector<SampleType>({{"std", 1000, "cop"}, {}}));
}

void TestDialogs::settingsDialog()
{
    OutData d = Synthetic::experiment(40, false);
    for (int s = 0; s < 52; ++s)
        d.pdLines[s] = Synthetic::amplification(40, s == 6 ? 2500 : 0, 22, 1.6, quint32(s));
    const OutData before = d;
    ZHighDialog raw;
    raw.setOutData(d, 3, 0, false);
    QVERIFY(raw.findChild<QWidget*>("widget")->isHidden());
    QVERIFY(raw.findChild<QPushButton*>("pushButton_Set")->isHidden());
    QCOMPARE(raw.windowTitle(), QString("T4高级设置 · 孔位 2 · FAM")); // which hole and channel it edits

    ZHighDialog dialog;
    dialog.setOutData(d, 3, 0, true);
    QVERIFY(!dialog.findChild<QWidget*>("widget")->isHidden());
    auto* automatic = dialog.findChild<QCheckBox*>("checkBox_AutoThreshold");
    auto* threshold = dialog.findChild<QDoubleSpinBox*>("dSpinBox_BaseT");
    automatic->click();
    QVERIFY(!threshold->isEnabled());
    dialog.findChild<QPushButton*>("pushButton_Set")->click();
    const double computed = TempData(d).targets[6].Threshold;
    QVERIFY(computed != 200.0);
    QCOMPARE(threshold->value(), std::round(computed * 100) / 100);
    QCOMPARE(d.targetOf(6).AutoThreshold, 1);

    // Copied to every FAM curve; ROX keeps its own.
    chooseInNextMenu(UI::AllSetFam);
    dialog.slotSetCustomContextMenuRequested(QPoint(5, 5));
    QCOMPARE(d.targetOf(0).AutoThreshold, 1);
    QCOMPARE(d.targetOf(50).AutoThreshold, 1);
    QCOMPARE(d.targetOf(1).AutoThreshold, 0);
    QCOMPARE(d.targetOf(51), before.targetOf(51));

    // "退出" leaves what is only in the widgets out of the record; "保存" stores it.
    auto* border = dialog.findChild<QDoubleSpinBox*>("dSpinBox_BorderT");
    border->setValue(321);
    {
        ModalAnswer none("none");
        dialog.findChild<QPushButton*>("pushButton_Cancel")->click();
    }
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(d.targetOf(6).BorderThreshold, 100.0);
    dialog.findChild<QPushButton*>("pushButton_Confirm")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(d.targetOf(6).BorderThreshold, 321.0);

    // A fixed threshold for every hole of the channel at once, and then the plate-wide one.
    ZHighDialog channel;
    channel.setOutData(d, 3, 0, true);
    auto* plate = channel.findChild<QCheckBox*>("checkBox_PlateThreshold");
    channel.findChild<QCheckBox*>("checkBox_AutoThreshold")->setChecked(false);
    QVERIFY(!plate->isEnabled());
    channel.findChild<QDoubleSpinBox*>("dSpinBox_BaseT")->setValue(150);
    channel.findChild<QCheckBox*>("checkBox_WholeChannel")->setChecked(true);
    channel.findChild<QPushButton*>("pushButton_Set")->click();
    for (int h = 0; h < 26; ++h) {
        QCOMPARE(d.targetOf(2 * h).AutoThreshold, 0);
        QCOMPARE(d.targetOf(2 * h).Threshold, 150.0);
    }
    QCOMPARE(d.targetOf(1), before.targetOf(1));
    QCOMPARE(d.targetOf(6).BorderThreshold, 321.0); // the rest of a hole's settings stays
    channel.findChild<QCheckBox*>("checkBox_AutoThreshold")->setChecked(true);
    plate->setChecked(true);
    channel.findChild<QPushButton*>("pushButton_Set")->click();
    QCOMPARE(d.targetOf(50).AutoThreshold, 2);
    const TempData shared(d);
    QCOMPARE(shared.targets[2 * 20].Threshold, shared.targets[2 * 3].Threshold);
}

void TestDialogs::parameterDialog()
{
    ZParameterDialog dialog;
    auto* table = dialog.findChild<QTableWidget*>("tableWidget");
    QCOMPARE(table->rowCount(), 52);
    dialog.findChild<QSpinBox*>("spin_Channel")->setValue(3);
    QCOMPARE(table->rowCount(), 78);
    QCOMPARE(table->rowSpan(3, 0), 3);
    // New rows start with no target name and the recommended settings: one threshold for the plate.
    for (int row = 0; row < 78; ++row) {
        QVERIFY(table->item(row, 2)->text().isEmpty());
        QCOMPARE(table->item(row, 3)->text(), QString("2"));
    }
    QTest::keyClicks(dialog.channelEdit(1), "ROX");
    QCOMPARE(table->item(4, 1)->text(), QString("ROX"));
    QCOMPARE(table->item(3, 1)->text(), QString());

    QCOMPARE(ZParameterDialog::stringTovector("3,4,,5"), QVector<int>({3, 4, 0, 5}));
    dialog.sampleEdit(0)->setText("3,4,,5");
    QVERIFY(dialog.sampleEdit(0)->styleSheet().contains("red")); // 0 is not on the chip
    dialog.sampleEdit(0)->setText("3,4,5");
    QVERIFY(dialog.sampleEdit(0)->styleSheet().isEmpty());

    // A validity with a unit is not a number of months: warned, shown as 0.
    QByteArray text = ZGLOBAL::readFile("json/sample.json");
    QVERIFY(ZGLOBAL::writeFile("json/months.json", text.replace("\"12\"", "\"12个月\"")));
    {
        ModalAnswer answer("pushButton_Confirm");
        QVERIFY(dialog.openMethodFile("json/months.json"));
        QCOMPARE(answer.text(), UI::JsonValidError);
    }
    QCOMPARE(dialog.findChild<QSpinBox*>("spin_Valid")->value(), 0);
    QCOMPARE(table->rowCount(), 52);
    QCOMPARE(table->item(4, 2)->text(), QString("靶标基因"));

    QVERIFY(dialog.saveMethodFile("json/saved.json"));
    QVERIFY(QFile::exists("qvi/saved.qvi"));
    SMethod saved;
    QVERIFY(JsonControl().openJsonMethod("json/saved.json", saved));
    QCOMPARE(saved.sampleHoleMap.value(0), QVector<int>({3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    {
        ModalAnswer answer("pushButton_Confirm");
        QVERIFY(!dialog.saveMethodFile("no-such-folder/x.json"));
        QCOMPARE(answer.text(), UI::SaveDataFailInfo);
    }
}

void TestDialogs::methodDialog()
{
    sampleHoleMapsInit();
    SMethod twoSamples = Synthetic::experiment(40, true).inData.method;
    twoSamples.sampleHoleMap = SampleHolesMap_2x12n1n2;
    twoSamples.Valid = "18";
    MethodDialog dialog;
    dialog.setMethod(twoSamples);
    dialog.findChild<QLineEdit*>("lEdit_Name")->setText("renamed");
    dialog.findChild<QPushButton*>("pBn_Save")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.getMMethod().Name, QString("renamed"));
    QCOMPARE(dialog.getMMethod().SampleNumber, 2);
    QCOMPARE(dialog.getMMethod().sampleHoleMap, SampleHolesMap_2x12n1n2);
    QCOMPARE(dialog.getMMethod().Valid, twoSamples.Valid);

    SMethod odd = twoSamples;
    odd.sampleHoleMap = {{0, {5, 6}}};
    MethodDialog other;
    other.setMethod(odd);
    other.findChild<QPushButton*>("pBn_Save")->click();
    QCOMPARE(other.getMMethod().SampleNumber, 13);
}

void TestDialogs::everyHoldComesBack()
{
    // Six holds in the constant stage and eight in the cycle stage: more than may be added by
    // hand, and every one of them goes through each editor unchanged.
    SMethod method;
    QVERIFY(JsonControl().openJsonMethod("json/sample.json", method));
    QVector<Node> constant, cycle;
    for (int i = 0; i < 6; ++i)
        constant.append({10 + i, 90.0 + i, false});
    for (int i = 0; i < 8; ++i)
        cycle.append({5 + i, 60.0 + i, i == 7});
    method.Flow.steps = {Synthetic::stage(Step::STEP_CONSTANT, 1, constant), Synthetic::stage(Step::STEP_CYCLE, 5, cycle)};
    QVERIFY(JsonControl().saveJsonMethod("json/holds.json", method));
    SMethod planned;
    QVERIFY(JsonControl().openJsonMethod("json/holds.json", planned));
    QCOMPARE(planned.Flow, method.Flow);

    MethodDialog methodDialog;
    planned.controlRules = {{"靶标基因", true, 0, 18, 26, 0, 0}};
    methodDialog.setMethod(planned);
    methodDialog.findChild<QPushButton*>("pBn_Save")->click();
    QCOMPARE(methodDialog.getMMethod().Flow, planned.Flow);
    QCOMPARE(methodDialog.getMMethod().controlRules, planned.controlRules);
    // The rules are edited there; a Ct that is none is refused with where it is.
    auto* rules = methodDialog.findChild<QTableWidget*>("tableWidget_Rules");
    QCOMPARE(rules->item(0, 0)->text(), QString("靶标基因"));
    rules->item(0, 4)->setText("abc");
    ModalAnswer refused("pushButton_Confirm");
    methodDialog.findChild<QPushButton*>("pBn_Save")->click();
    QVERIFY(refused.text().contains("阳性对照Ct上限"));
    rules->item(0, 4)->setText("30");
    methodDialog.findChild<QPushButton*>("pBn_Save")->click();
    QCOMPARE(methodDialog.getMMethod().controlRules.value(0).posCtHigh, 30.0);
    // The curve acceptance sits beside the rules: the usual one is no entry, a lab's own is kept.
    QVERIFY(methodDialog.getMMethod().acceptances.isEmpty());
    rules->item(0, 7)->setText("85");
    methodDialog.findChild<QPushButton*>("pBn_Save")->click();
    QCOMPARE(methodDialog.getMMethod().acceptances.value(0).efficiencyLow, 0.85);

    // 参数设置 keeps a method file's rules, which it has no fields for.
    QVERIFY(JsonControl().saveJsonMethod("json/holds.json", planned));
    ZParameterDialog parameters;
    QVERIFY(parameters.openMethodFile("json/holds.json"));
    QVERIFY(parameters.saveMethodFile("json/holds-again.json"));
    SMethod saved;
    QVERIFY(JsonControl().openJsonMethod("json/holds-again.json", saved));
    QCOMPARE(saved.Flow, planned.Flow);
    QCOMPARE(saved.controlRules, planned.controlRules);

    NewDialog wizard(modules({0, 1, 2, 3, 4}));
    auto* list = wizard.findChild<QComboBox*>("comboBox");
    list->setCurrentIndex(list->findData("holds.json"));
    QTimer::singleShot(0, [&wizard] {
        QCOMPARE(next(wizard), QString());
        // Unnamed samples are asked about once; "yes" names them and shows them before going on.
        QCOMPARE(next(wizard), UI::UnnamedSamples.arg(2));
        QCOMPARE(page(wizard), 1);
        QCOMPARE(wizard.findChild<SampleInfoWidget*>("widget_Sample")->nameEdit(1)->text(), QString("样本2"));
        QCOMPARE(next(wizard), QString());
        wizard.findChild<QPushButton*>("pushButton_Next")->click();
    });
    QCOMPARE(wizard.exec(), int(QDialog::Accepted));
    QCOMPARE(wizard.getMCurrentData().method.Flow, planned.Flow);
    QCOMPARE(wizard.getMCurrentData().method.getAllRunCmd().size(), planned.getAllRunCmd().size());

    // Sample names typed before another method is chosen stay for the samples it also has.
    NewDialog again(modules({0, 1, 2, 3, 4}));
    auto* methods = again.findChild<QComboBox*>("comboBox");
    methods->setCurrentIndex(methods->findData("sample.json"));
    auto* samples = again.findChild<SampleInfoWidget*>("widget_Sample");
    samples->nameEdit(1)->insert("病人乙");
    methods->setCurrentIndex(methods->findData("holds.json"));
    QCOMPARE(samples->nameEdit(1)->text(), QString("病人乙"));
}

void TestDialogs::wizardSampleSheet()
{
    // The file dialogs are given the file of the moment, the notices after them answered and kept.
    QString file;
    QStringList told;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&file, &told] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            files->selectFile(file);
            static_cast<QDialog*>(files)->accept(); // QFileDialog hides it; its own checks still run
        } else if (modal) {
            told << modal->findChild<QLabel*>("label_Info")->text();
            modal->findChild<QPushButton*>("pushButton_Confirm")->click();
        }
    });
    answer.start(5);
    NewDialog wizard(modules({0, 1, 2, 3, 4}));
    QTimer::singleShot(0, [&] {
        auto* methods = wizard.findChild<QComboBox*>("comboBox");
        methods->setCurrentIndex(methods->findData("sample.json"));
        QCOMPARE(next(wizard), QString());
        QCOMPARE(page(wizard), 1);
        auto* samples = wizard.findChild<SampleInfoWidget*>("widget_Sample");
        samples->nameEdit(0)->setText(QStringLiteral("已填"));
        file = QDir::current().filePath(QStringLiteral("快速演示-样本表.csv"));
        wizard.findChild<QPushButton*>("pushButton_SaveSheetTemplate")->click();
        QCOMPARE(told.value(0), UI::FileWritten.arg(QDir::toNativeSeparators(file)));
        QFile blank(file);
        QVERIFY(blank.open(QIODevice::ReadOnly));
        QCOMPARE(blank.readAll().count('\n'), 1 + 24);

        // A sheet with one row that does not fit is refused whole; the page stays as it was.
        QVERIFY(ZGLOBAL::writeFile("s.csv", QStringLiteral("孔位,样本名,类型,定量,单位\n1,甲,unkn,,\n13,乙,std,abc,cop\n").toUtf8()));
        file = QDir::current().filePath("s.csv");
        wizard.findChild<QPushButton*>("pushButton_ImportSheet")->click();
        QCOMPARE(told.value(1), QStringLiteral("样本表未导入，样本页未改动：\n第3行：定量“abc”不是数"));
        QCOMPARE(samples->nameEdit(0)->text(), QStringLiteral("已填"));
        QVERIFY(ZGLOBAL::writeFile("s.csv", QStringLiteral("孔位,样本名,类型,定量,单位\n1,甲,unkn,,\n13,乙,std,1e4,拷贝\n").toUtf8()));
        wizard.findChild<QPushButton*>("pushButton_ImportSheet")->click();
        QCOMPARE(told.value(2), QStringLiteral("已从s.csv填入2个样本。"));
        QCOMPARE(samples->nameEdit(0)->text(), QStringLiteral("甲"));
        QCOMPARE(samples->getSampleTypes().value(1), (SampleType{"std", 1e4, "cop"}));
        wizard.reject();
    });
    wizard.exec();
    QCOMPARE(told.size(), 3);
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
