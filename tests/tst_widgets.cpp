#include "ModalAnswer.h"
#include "Synthetic.h"
#include "TestDir.h"
#include "analysis/ResultText.h"
#include "analysis/TempData.h"
#include "app/UI.h"
#include "ui/charts/NewMeltChart.h"
#include "ui/charts/ZOneChart.h"
#include "ui/charts/ZTimeChart.h"
#include "ui/chip/HoleButton.h"
#include "ui/chip/PcrChip.h"
#include "ui/dialogs/ZInputDialog.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/editor/Coordinate.h"
#include "ui/editor/CycleWidget.h"
#include "ui/editor/NodeWidget.h"
#include "ui/editor/TempSlider.h"
#include "ui/results/ZTableWidget.h"

#include <QDoubleSpinBox>
#include <QSignalSpy>
#include <QSpinBox>

namespace {
// Sample 0 on holes 3, 4 and 5, sample 1 on holes 8 and 7, plus hole 0 and a hole beyond the
// chip that must be skipped everywhere.
OutData smallChip(bool cycle = true, bool melt = true)
{
    OutData d = Synthetic::experiment(40, melt);
    SMethod& m = d.inData.method;
    m.sampleHoleMap = {{0, {3, 4, 5}}, {1, {8, 0, 7, 27}}};
    if (!cycle)
        m.Flow.steps.removeFirst();
    for (int s = 0; s < 52; ++s)
        d.pdLines[s] = Synthetic::amplification(40, s == 4 ? 2500 : 0, 22.0, 1.6, quint32(s))
            + (melt ? Synthetic::melt(60, 71, 81, 2000, 1, 41) : Curve());
    d.inData.sampleNames = {"甲", "乙"};
    d.inData.sampleRemarks = {"一", "二"};
    return d;
}

void wheel(QWidget* target, int notches)
{
    QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}
}

class TestWidgets : public QObject
{
    Q_OBJECT
private slots:
    void dialogs();
    void chartSeriesAndHighlights();
    void timeAndThresholdCharts();
    void table();
    void chip();
    void editorRules();
    void editorValues();
    void gallery();
};

void TestWidgets::dialogs()
{
    ZMessageBox question;
    question.setMessageInfo(UI::ClosingInfo);
    {
        ModalAnswer yes("pushButton_Confirm");
        QCOMPARE(question.exec(), 1);
        QCOMPARE(yes.text(), UI::ClosingInfo);
    }
    {
        ModalAnswer no("pushButton_Cancel");
        QCOMPARE(question.exec(), 0);
    }
    {
        ModalAnswer closed("no-such-button"); // the window's close button
        QCOMPARE(question.exec(), 0);
        QVERIFY(closed.answered());
    }
    QCOMPARE(question.windowTitle(), QString("提示"));

    ZInputDialog cancelled(40);
    cancelled.findChild<QSpinBox*>("spinBox")->setValue(45);
    {
        ModalAnswer cancel("pushButton_Cancel");
        cancelled.exec();
    }
    QCOMPARE(cancelled.getMValue().toInt(), 40);
    ZInputDialog confirmed(40);
    auto* box = confirmed.findChild<QSpinBox*>("spinBox");
    box->selectAll();
    QTest::keyClicks(box, "45");
    {
        ModalAnswer ok("pushButton_Confirm");
        QCOMPARE(confirmed.exec(), 1);
    }
    QCOMPARE(confirmed.getMValue().toInt(), 45);
    box->selectAll();
    QTest::keyClicks(box, "150");
    QVERIFY(box->value() <= 100);
}

void TestWidgets::chartSeriesAndHighlights()
{
    OutData d = smallChip();
    SMethod& m = d.inData.method;
    ZOriginChart raw;
    raw.setInitChart(m);
    QCOMPARE(raw.vectorLines().size(), 52);
    QStringList shown;
    for (int i = 0; i < 52; ++i)
        if (raw.lineSeries(i)->isVisible())
            shown << QString::number(i);
    QCOMPARE(shown, QStringList({"4", "5", "6", "7", "8", "9", "12", "13", "14", "15"}));

    QVector<double> reading(52, 600);
    reading[4] = 3000;
    raw.addCycleData(41, reading);
    QCOMPARE(raw.axisX()->max(), 41.0);
    QCOMPARE(raw.axisX()->tickInterval(), 2.0);
    ZOriginChart longer; // 40 cycles and 71 melt readings: the labels stay apart
    longer.setInitChart(m);
    longer.addCycleData(111, reading);
    QCOMPARE(longer.axisX()->tickInterval(), 10.0);
    QCOMPARE(raw.axisY()->max(), 4500.0); // head-room above the highest curve
    QCOMPARE(raw.vectorLines()[4], QVector<QPointF>({QPointF(41, 3000)}));

    // Holes without readings (an imported run uses only some) are drawn empty, the others whole.
    QVector<Curve> curves(52, Curve{QPointF(1, 5), QPointF(2, 6)});
    curves[0].clear();
    raw.setLines(curves, true);
    QCOMPARE(raw.vectorLines()[0], QVector<QPointF>());
    QCOMPARE(raw.vectorLines()[4], curves[4]);
    QCOMPARE(raw.axisX()->max(), 2.0);
    raw.setLines(QVector<Curve>(52), true); // no readings at all: nothing changes
    QCOMPARE(raw.vectorLines()[4], curves[4]);

    // Table column 2 and 3 pick channel 0 of the row's hole, column 7 channel 1.
    const QColor highlight0 = QColor(Qt::darkBlue), highlight1 = QColor(Qt::yellow);
    raw.slotCellClicked(3, 2);
    QCOMPARE(raw.lineSeries(6)->pen().color(), highlight0);
    QCOMPARE(raw.lineSeries(7)->pen().color(), QColor(255, 153, 63));
    raw.slotCellClicked(3, 7);
    QCOMPARE(raw.lineSeries(6)->pen().color(), QColor(0, 19, 255));
    QCOMPARE(raw.lineSeries(7)->pen().color(), highlight1);
    raw.slotCellClicked(2, 3);
    QCOMPARE(raw.lineSeries(4)->pen().color(), highlight0);
    raw.slotCheckedLine(2, false);
    QVERIFY(!raw.lineSeries(4)->isVisible() && !raw.scatterSeries(5)->isVisible());

    ZNewChart corrected;
    corrected.setInitChart(m);
    corrected.addCycleData(1, reading);
    QVERIFY(corrected.vectorLines()[4].isEmpty());

    // A chart not yet shown makes its series when it is: with the lines and choices given before,
    // and whole-number ticks that never repeat on a short run.
    ZOriginChart later;
    later.setInitChart(m);
    later.setLines(QVector<Curve>(52, Curve{QPointF(1, 5), QPointF(2, 6), QPointF(3, 7)}), true);
    later.slotCheckedLine(3, false);
    later.slotChannelChecked(1, false);
    later.show();
    QVERIFY(!later.lineSeries(6)->isVisible() && later.lineSeries(4)->isVisible());
    QCOMPARE(later.lineSeries(5)->opacity(), 0.1);
    QCOMPARE(later.vectorLines()[4].size(), 3);
    QCOMPARE(later.axisX()->tickInterval(), 1.0);

    TestDir dir;
    raw.resize(640, 400);
    QVERIFY(raw.saveImage("chart.jpg"));
    QCOMPARE(QImage("chart.jpg").size(), QSize(640, 400));
}

void TestWidgets::timeAndThresholdCharts()
{
    ZTimeChart time;
    time.addCurrentTemp(1, 95, 94);
    time.addCurrentTemp(2, 121, 60);
    time.addCurrentTemp(3, 60, -1);
    time.addCurrentTemp(700, 60, 60);
    QCOMPARE(time.getTimeUpLine(), QVector<QPointF>({QPointF(1, 95), QPointF(700, 60)}));
    QCOMPARE(time.getTimeDownLine().size(), 2);
    QCOMPARE(time.axisX()->max(), 900.0);
    // At a faster pace the axis is in the seconds that passed, as the status line counts them.
    time.setStepMs(100);
    time.setTimeLines({QPointF(0, 60), QPointF(1165, 95)}, {QPointF(0, 60), QPointF(1165, 95)});
    QCOMPARE(time.axisX()->max(), 116.5);

    ZOneChart one;
    one.setLine({QPointF(1, 10), QPointF(2, 500)}, 120, 1);
    QCOMPARE(one.thresholdSeries()->count(), 200);
    QCOMPARE(one.thresholdSeries()->at(199), QPointF(199, 120));
    one.setThresholdLine(120, 0);
    QCOMPARE(one.thresholdSeries()->count(), 0);
}

void TestWidgets::table()
{
    QCOMPARE(ResultText::ct(0), QString("-"));
    QCOMPARE(ResultText::ct(23.456), QString("23.46"));
    QCOMPARE(ResultText::ct(0.004), QString("-"));
    QCOMPARE(ResultText::tm(0), QString("-")); // no melt peak, as the CLI and the CSV say
    QCOMPARE(ResultText::ct(24), QString("24.00"));

    const OutData d = smallChip();
    ZTableWidget table;
    table.setInData(d.inData);
    QCOMPARE(table.columnCount(), 11);
    QCOMPARE(table.horizontalHeaderItem(4)->text(), QString("FAM CT值"));
    QStringList numbers;
    for (int r = 0; r < table.rowCount(); ++r)
        if (!table.isRowHidden(r))
            numbers << QString("%1:%2").arg(r + 1).arg(table.item(r, 2)->text());
    QCOMPARE(numbers, QStringList({"3:1", "4:2", "5:3", "7:5", "8:4"}));
    QCOMPARE(table.rowSpan(2, 0), 3);
    QCOMPARE(table.item(7, 1)->text(), QString("乙"));
    QCOMPARE(table.item(7, 1)->toolTip(), QString("备注：二"));
    QCOMPARE(table.item(2, 4)->text(), QString("/"));
    {
        // Samples that interleave (an imported plate): every hole's row names its own sample.
        InData mixed = d.inData;
        mixed.method.sampleHoleMap = {{0, {1, 3}}, {1, {2, 4}}};
        ZTableWidget interleaved;
        interleaved.setInData(mixed);
        QStringList samples;
        for (int r = 0; r < 4; ++r)
            samples << interleaved.item(r, 0)->text() + interleaved.item(r, 1)->text();
        QCOMPARE(samples, QStringList({"1甲", "2乙", "1甲", "2乙"}));
        QCOMPARE(interleaved.rowSpan(0, 0), 1);
    }

    table.setOutData(d);
    const TempData r(d);
    QVERIFY(r.positives[4]);
    QCOMPARE(table.item(2, 4)->text(), ResultText::ct(r.ctValues[4]));
    QVERIFY(table.item(2, 4)->text().contains(QRegularExpression("^\\d+\\.\\d\\d$")));
    QCOMPARE(table.item(2, 5)->text(), QString("阳性"));
    QCOMPARE(table.item(2, 5)->foreground().color(), QColor(Qt::red));
    QCOMPARE(table.item(3, 4)->text(), QString("-"));
    QCOMPARE(table.item(3, 5)->text(), QString("阴性"));
    QCOMPARE(table.item(2, 6)->text(), ResultText::tm(r.tmValues[4]));

    // Hiding a channel hides its four columns; rows follow the chip.
    table.slotChannelChecked(1, false);
    QVERIFY(table.isColumnHidden(7) && table.isColumnHidden(10) && !table.isColumnHidden(3));
    table.slotCheckedLine(2, false);
    QVERIFY(table.isRowHidden(2));

    // Without a cycle stage the Ct and call columns stay hidden, whatever is shown again.
    OutData noCycle = smallChip(false, true);
    noCycle.inData.sampleNames = {"only one"};
    table.setInData(noCycle.inData);
    QVERIFY(table.isColumnHidden(4) && table.isColumnHidden(5) && !table.isColumnHidden(6));
    QVERIFY(table.item(2, 1)->text().isEmpty());
    table.setOutData(noCycle);
    table.slotChannelChecked(0, true);
    QVERIFY(table.isColumnHidden(4) && table.isColumnHidden(5));
}

void TestWidgets::chip()
{
    OutData d = smallChip();
    d.inData.method.sampleHoleMap = {{0, {3, 1}}, {1, {0, 30, 6}}};
    PcrChip chip;
    chip.setMethod(d.inData.method, false);
    QCOMPARE(chip.holeButton(2)->text(), QString("1"));
    QCOMPARE(chip.holeButton(0)->text(), QString("2"));
    QCOMPARE(chip.holeButton(5)->text(), QString("3"));
    QVERIFY(chip.holeButton(2)->isVisibleTo(&chip) && !chip.holeButton(1)->isVisibleTo(&chip));

    QSignalSpy holes(&chip, &PcrChip::signalHoleSelect);
    QSignalSpy samples(&chip, &PcrChip::signalSampleSelect);
    QTest::mouseClick(chip.sampleButton(0), Qt::LeftButton);
    QCOMPARE(holes.size(), 2);
    QCOMPARE(holes[0], QVariantList({2, false}));
    QCOMPARE(holes[1], QVariantList({0, false}));
    QCOMPARE(samples.takeFirst(), QVariantList({0, false}));
    QVERIFY(!chip.holeButton(2)->isChecked());
    // The master button switches every sample back on.
    QTest::mouseClick(chip.findChild<QPushButton*>("pBnMain"), Qt::LeftButton);
    QTest::mouseClick(chip.findChild<QPushButton*>("pBnMain"), Qt::LeftButton);
    QVERIFY(chip.holeButton(2)->isChecked() && chip.sampleButton(1)->isChecked());

    // A hole where not even the internal control amplified is shown as failed, not negative;
    // its hover names its position.
    const OutData plate = Synthetic::controlledPlate();
    chip.setMethod(plate.inData.method, false);
    chip.setOutData(plate, TempData(plate));
    QCOMPARE(chip.holeButton(9)->getColorType(), int(HoleButton::ControlFailed));
    QCOMPARE(chip.holeButton(8)->getColorType(), int(HoleButton::RoxPositive)); // its control amplified
    QVERIFY(chip.holeButton(9)->toolTip().startsWith("位置 10\n"));

    HoleButton hole(0);
    const QVector<QPair<QPair<bool, bool>, int>> rule = {{{true, true}, 4}, {{false, true}, 3}, {{true, false}, 2}, {{false, false}, 1}};
    for (const auto& r : rule) {
        hole.setColorType(r.first.first, r.first.second);
        QCOMPARE(hole.property("ColorType").toInt(), r.second);
    }
}

void TestWidgets::editorRules()
{
    // What an action said when it changed nothing, or "accepted".
    const auto refused = [](Coordinate& editor, void (Coordinate::*action)()) {
        ModalAnswer answer("pushButton_Confirm");
        const Flow before = editor.getMethodFlow();
        (editor.*action)();
        return before == editor.getMethodFlow() && answer.answered() ? answer.text() : QString("accepted");
    };
    Coordinate editor;
    QCOMPARE(refused(editor, &Coordinate::delStepWidget), UI::DeleteEmptyInfo);
    editor.insertConstWidget();
    editor.insertMeltWidget();
    editor.steps()[0]->pushButton()->click();
    QCOMPARE(refused(editor, &Coordinate::insertCycleWidget), QString("accepted")); // the melt stage comes after
    QCOMPARE(editor.getMethodFlow().steps[1].StepType, Step::STEP_CYCLE);
    QCOMPARE(editor.getMethodFlow().steps[1].NodeList[1].Test, true);
    QCOMPARE(refused(editor, &Coordinate::insertCycleWidget), UI::PassMaxCycleStep.arg(1));
    QCOMPARE(refused(editor, &Coordinate::insertMeltWidget), UI::PassMaxMeltStep.arg(1));

    // Holds: none selected adds nothing; a melt stage keeps its two; a stage holds at most five.
    editor.steps()[0]->pushButton()->click();
    editor.insertAfterNode();
    QCOMPARE(editor.nodeList().size(), 5);
    editor.nodeList()[4]->button()->click();
    QCOMPARE(refused(editor, &Coordinate::insertAfterNode), UI::MaxMeltNode);
    QCOMPARE(refused(editor, &Coordinate::delStepWidget), UI::MaxMeltNode);
    editor.nodeList()[0]->button()->click();
    for (int i = 0; i < 4; ++i)
        editor.insertPreViewNode();
    QCOMPARE(editor.getMethodFlow().steps[0].NodeList.size(), 5);
    QCOMPARE(refused(editor, &Coordinate::insertAfterNode), UI::PassMaxNode.arg(5));
    // With a hold selected a new stage goes after the last one.
    editor.insertConstWidget();
    QCOMPARE(editor.getMethodFlow().steps.last().StepType, Step::STEP_CONSTANT);
    // Deleting: the selected hold, a stage's only hold takes the stage with it.
    editor.nodeList().last()->button()->click();
    editor.delStepWidget();
    QCOMPARE(editor.getMethodFlow().steps.size(), 3);
    while (editor.steps().size() < Coordinate::MaxSteps)
        editor.insertConstWidget();
    QCOMPARE(refused(editor, &Coordinate::insertConstWidget), UI::PassMaxStep.arg(10));

    // A melt stage before the insertion point refuses a cycle stage, a cycle stage at or after it
    // refuses a melt stage.
    Coordinate other;
    Flow program;
    program.steps = {Synthetic::stage(Step::STEP_MELT, 0, {{1, 60, false}, {1, 95, false}})};
    other.setMethodFlow(program);
    QCOMPARE(refused(other, &Coordinate::insertCycleWidget), UI::MeltStepOnPreview);
    program.steps = {Synthetic::stage(Step::STEP_CONSTANT, 1, {{20, 95, false}}),
                     Synthetic::stage(Step::STEP_CYCLE, 40, {{20, 95, false}, {20, 60, true}})};
    other.setMethodFlow(program);
    other.steps()[0]->pushButton()->click();
    QCOMPARE(refused(other, &Coordinate::insertMeltWidget), UI::CycleStepOnPreview);
    other.steps()[1]->pushButton()->click();
    QCOMPARE(refused(other, &Coordinate::insertMeltWidget), QString("accepted"));
}

void TestWidgets::editorValues()
{
    Flow flow;
    flow.steps = {Synthetic::stage(Step::STEP_CONSTANT, 3, {{120, 95, false}}),
                  Synthetic::stage(Step::STEP_CYCLE, 35, {{10, 95, false}, {30, 60.5, true}}),
                  Synthetic::stage(Step::STEP_MELT, 0, {{5, 60, false}, {5, 95, false}})};
    Coordinate editor;
    editor.setMethodFlow(flow);
    Flow back = editor.getMethodFlow();
    QCOMPARE(back.steps[0].CycleCount, 1);
    back.steps[0].CycleCount = 3;
    QCOMPARE(back, flow);

    NodeWidget* anneal = editor.nodeList()[2];
    QCOMPARE(anneal->slider()->value(), 6050);
    anneal->slider()->setValue(9500);
    QCOMPARE(anneal->tempBox()->value(), 95.0);
    anneal->tempBox()->setValue(60.5);
    QCOMPARE(anneal->slider()->value(), 6050);

    // One reading per cycle: checking one hold's box clears the other's.
    NodeWidget* denature = editor.nodeList()[1];
    QVERIFY(denature->testBox()->isVisibleTo(&editor) && !editor.nodeList()[0]->testBox()->isVisibleTo(&editor));
    denature->testBox()->click();
    QVERIFY(denature->testBox()->isChecked() && !anneal->testBox()->isChecked());

    auto* cycle = qobject_cast<CycleWidget*>(editor.steps()[1]);
    QPushButton* header = cycle->pushButton();
    wheel(header, 200);
    QCOMPARE(cycle->cycleCount(), 100);
    QCOMPARE(header->text(), QString("循环:100"));
    wheel(header, -150);
    QCOMPARE(cycle->cycleCount(), 1);
    // A right click asks for the count; the dialog may set any count it accepts.
    {
        ModalAnswer answer("pushButton_Confirm");
        QTimer::singleShot(20, [] {
            if (auto* box = QApplication::activeModalWidget()->findChild<QSpinBox*>("spinBox"))
                box->setValue(0);
        });
        QTest::mouseClick(header, Qt::RightButton);
        QVERIFY(answer.answered());
    }
}

void TestWidgets::gallery()
{
    TestDir dir;
    QProcess gallery;
    gallery.start(TAMARIN_GALLERY, {"--grab", dir.path()});
    QVERIFY(gallery.waitForFinished(120000));
    QCOMPARE(gallery.exitCode(), 0);
    const QMap<QString, QSize> sizes = {{"chip", QSize(1100, 300)}, {"raw", QSize(900, 520)},      {"relative", QSize(900, 520)},
                                        {"melt", QSize(900, 520)},  {"meltpeak", QSize(900, 520)}, {"single", QSize(700, 420)},
                                        {"temperature", QSize(1100, 420)}, {"table", QSize(1100, 820)}, {"editor", QSize(1100, 480)},
                                        {"layout", QSize(660, 280)}, {"message", QSize(408, 304)}, {"input", QSize(400, 300)},
                                        {"wizard-0", QSize(1100, 760)}, {"wizard-1", QSize(1100, 760)}, {"wizard-2", QSize(1100, 760)},
                                        {"settings", QSize(960, 520)}, {"method", QSize(1100, 800)}, {"parameters", QSize(1400, 900)}};
    for (auto it = sizes.cbegin(); it != sizes.cend(); ++it) {
        const QImage image(dir.file(it.key() + ".png"));
        QCOMPARE(image.size(), it.value());
        // Not a blank: a grid of samples finds several colours.
        QSet<QRgb> colours;
        for (int x = 0; x < 40; ++x)
            for (int y = 0; y < 40; ++y)
                colours.insert(image.pixel(x * image.width() / 40, y * image.height() / 40));
        QVERIFY2(colours.size() >= 3, qPrintable(it.key()));
    }
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
