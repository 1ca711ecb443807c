#include "ui/run/ZRunWidget.h"

#include "analysis/Quantification.h"
#include "analysis/ResultText.h"
#include "analysis/TempData.h"
#include "app/ExperimentName.h"
#include "app/UI.h"
#include "instrument/StatusLine.h"
#include "method/ProgramCheck.h"
#include "records/RecordSession.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/records/RecordActions.h"
#include "ui/results/QuantTables.h"
#include "ui_ZRunWidget.h"

#include <QButtonGroup>
#include <QDebug>
#include <QFileInfo>
#include <QStyle>

ZRunWidget::ZRunWidget(QWidget* parent, Machine* machine)
    : QWidget(parent), ui(new Ui::ZRunWidget), mMachine(machine ? machine : Machine::instance()), mViews(new QButtonGroup(this))
{
    ui->setupUi(this);
    // The style keeps the page's parsed style sheet until the page is destroyed, but only learns of
    // its destruction once it has polished it: a page closed before it was ever shown (a run
    // window in the background) would leave its sheet behind for good.
    ensurePolished();
    ui->tableWidget->verticalHeader()->hide();
    const QList<QPushButton*> views = {ui->pushButton_Temp, ui->pushButton_OrginLight, ui->pushButton_NewLight, ui->pushButton_MeltLight,
                                       ui->pushButton_Quant};
    for (int id = 0; id < views.size(); ++id)
        mViews->addButton(views[id], id);
    mViews->setExclusive(true);
    wireChartsAndTable();
    connect(ui->pushButton_InData, &QPushButton::clicked, this, &ZRunWidget::slotMethodClicked);
    connect(ui->pushButton_InData, &QWidget::customContextMenuRequested, this, &ZRunWidget::slotCustomContextMenuRequested);
    connect(ui->pushButton_Start, &QPushButton::clicked, this, &ZRunWidget::slotStartClicked);
    connect(mViews, &QButtonGroup::idClicked, this, &ZRunWidget::slotButtonGroupClicked);
    ui->pushButton_Temp->setChecked(true);
    ui->stackedWidget->setCurrentIndex(0);
    ui->pushButton_MeltLight->hide();
    ui->pushButton_Quant->hide();
    ui->label_Validity->hide();
    ui->label_StopOwed->hide();
    ui->label_Signatures->hide();
    connect(ui->widget_Quant, &QuantTables::setupChanged, this, &ZRunWidget::changeSetup);
    ui->pushButton_NewLight->hide();
    setPushButtonStart(false);
}

ZRunWidget::~ZRunWidget()
{
    qDebug() << "~ZRunWidget()";
    mMachine->setPcrEmployed(false, pcrNumber(), this);
    if (!mFilePath.isEmpty())
        ExperimentName::close(mFilePath);
    delete ui;
}

void ZRunWidget::wireChartsAndTable()
{
    ZTableWidget* table = ui->tableWidget;
    for (ZOriginChart* chart : QList<ZOriginChart*>{ui->chartOrgin, ui->chartNew, ui->chartOrginMelt, ui->chartNewMelt}) {
        connect(ui->widget_Chip, &PcrChip::signalHoleSelect, chart, &ZOriginChart::slotCheckedLine);
        connect(ui->widget_Chip, &PcrChip::signalHoleHovered, chart, &ZOriginChart::slotHoleHovered);
        connect(chart, &ZOriginChart::signalLineHover, table, &ZTableWidget::slotLineHover);
        connect(table, &QTableWidget::cellClicked, chart, &ZOriginChart::slotCellClicked);
        connect(ui->widget_Color, &CharnelColor::signalChannel, chart, &ZOriginChart::slotChannelChecked);
    }
    connect(ui->widget_Chip, &PcrChip::signalHoleHovered, table, &ZTableWidget::slotHoleHovered);
    connect(ui->widget_Color, &CharnelColor::signalChannel, table, &ZTableWidget::slotChannelChecked);
    connect(ui->widget_Chip, &PcrChip::signalHoleSelect, table, &ZTableWidget::slotCheckedLine);
    connect(table, &QWidget::customContextMenuRequested, this, &ZRunWidget::slotTableWidgetCustomContextMenuRequested);
    connect(table, &QTableWidget::cellDoubleClicked, this, &ZRunWidget::slotCellDoubleClicked);
}

void ZRunWidget::setMFilePath(const QString& path)
{
    if (!mFilePath.isEmpty())
        ExperimentName::close(mFilePath);
    mFilePath = path;
    ExperimentName::open(mFilePath);
}

bool ZRunWidget::runIsOver() const
{
    // A stopped run still plays its stop sequence, and its record is filled only at its end.
    return !mRunning && ui->pushButton_Start->isHidden();
}

void ZRunWidget::setPushButtonStart(bool running)
{
    ui->pushButton_Start->setProperty("start", running);
    ui->pushButton_Start->setText(running ? QStringLiteral("结束") : QStringLiteral("开始"));
    ui->pushButton_Start->style()->unpolish(ui->pushButton_Start);
    ui->pushButton_Start->style()->polish(ui->pushButton_Start);
}

void ZRunWidget::setInData(const InData& in)
{
    mInData = in;
    SMethod& method = mInData.method;
    for (ZOriginChart* chart : QList<ZOriginChart*>{ui->chartOrgin, ui->chartNew, ui->chartOrginMelt, ui->chartNewMelt})
        chart->setInitChart(method);
    ui->tableWidget->setInData(mInData);
    ui->widget_Chip->setMethod(method, false);
    ui->widget_Color->setChannelNames(method.ChannelNames);
    // The melt readings of a run are followed live on their own chart.
    ui->pushButton_MeltLight->setVisible(method.hasMeltStep());
    showProjectInfo();
    ui->label_TestInfo->setText(initialStatusLine(method, mMachine->stepMs()));
    ui->chartTime->setStepMs(mMachine->stepMs());
    mRecorder = RunRecorder(method.countsInRange() ? method.Hole * method.ChannelColor : 0);
}

void ZRunWidget::showProjectInfo()
{
    ui->label_NoInfo->setText(UI::ProjectInfo.arg(QFileInfo(mFilePath).fileName(), mInData.serialNumber, mInData.remark,
                                                  mInData.dateTime.toString("yyyy-MM-dd hh:mm"),
                                                  mInData.pcrNumber > 0 ? QString::number(mInData.pcrNumber) : QStringLiteral("-")));
    // A long remark wraps within the header; the whole line is also the label's tooltip.
    ui->label_NoInfo->setToolTip(ui->label_NoInfo->text());
}

void ZRunWidget::followStop()
{
    // Said in red for as long as the module's heaters may still be on, whatever else the page shows.
    const auto show = [this] {
        const bool owed = mMachine->isStopOwed(pcrNumber());
        ui->label_StopOwed->setText(owed ? UI::StopUnconfirmed.arg(pcrNumber()) + QStringLiteral("：加热可能仍在进行，请检查仪器") : QString());
        ui->label_StopOwed->setVisible(owed);
    };
    const auto ofMine = [this, show](char number) {
        if (int(number) == pcrNumber())
            show();
    };
    connect(mMachine, &Machine::signalStopUnconfirmed, this, ofMine);
    connect(mMachine, &Machine::signalSafeState, this, ofMine);
    show();
}

void ZRunWidget::slotStartClicked()
{
    const bool running = ui->pushButton_Start->property("start").toBool();
    const QString question = running ? QStringLiteral("是否结束当前运行程序?") : QStringLiteral("是否开始当前运行程序?");
    if (!ZMessageBox::ask(this, question + "\n" + name()))
        return;
    if (running && !mRunning)
        return; // the run ended while the question stood open
    if (running) {
        setPushButtonStart(false);
        ui->pushButton_Start->hide();
        mMachine->stop(pcrNumber());
        return;
    }
    if (mClosing || !RecordActions::allowed(this, RecordActions::refusal(Permission::RunTests)))
        return;
    // Nothing reaches the heaters that could not be played safely or whose readings could not be kept.
    const QFileInfo file(mFilePath);
    QString fault = programFault(mInData.method);
    if (fault.isEmpty())
        fault = ExperimentName::saveFault(file.absolutePath(), file.completeBaseName(), true);
    if (!fault.isEmpty()) {
        ZMessageBox::tell(this, fault);
        return;
    }
    if (!mMachine->run(mInData.method, this, pcrNumber())) {
        ZMessageBox::tell(this, UI::PcrBusy.arg(pcrNumber()));
        return;
    }
    mRunning = true;
    mStarted = true;
    RecordActions::recordRun(RecordActions::experimentOf(mFilePath), QStringLiteral("开始运行"),
                             QStringLiteral("%1，PCR %2").arg(mInData.method.Name).arg(pcrNumber()));
    emit signalStateChanged(this);
    setPushButtonStart(true);
    mRecorder.keepRecoveryCopy(mInData, mFilePath);
}

void ZRunWidget::slotConnectData(const ConnectData& data)
{
    if (data.pcrIndex != pcrNumber())
        return;
    mRecorder.addReport(data);
    if (data.dataType == ConnectData::TEMPERATURE) {
        const int elapsed = data.totalCount - data.residueCount;
        if (elapsed < 0)
            return;
        ui->label_TestInfo->setText(statusLine(mInData.method, data, mMachine->stepMs()));
        ui->chartTime->addCurrentTemp(elapsed, data.upTemp, data.downTemp);
    } else if (data.dataType == ConnectData::HOLE_READING && data.meltStep == 0) {
        ui->chartOrgin->addCycleData(data.cycle, data.pdValues);
    } else if (data.dataType == ConnectData::HOLE_READING) {
        ui->chartOrginMelt->addCycleData(data.meltStep, data.pdValues);
    }
}

void ZRunWidget::slotReactInfo(Machine::REACT_INFO info, char number)
{
    if (int(number) != pcrNumber())
        return;
    // The module is free and its stop sequence already under way before anyone is asked.
    mMachine->setPcrEmployed(false, pcrNumber(), this);
    disconnect(mMachine, nullptr, this, nullptr);
    followStop();
    mRunning = false;
    ui->pushButton_Start->hide();
    // What happened is said as it is: no answer or a broken link, not a failed reaction.
    const QString note = mMachine->runNote(pcrNumber());
    mInData.appendRemark(note);
    showProjectInfo();
    const QStringList outcomes = {QStringLiteral("运行完成"), QStringLiteral("停止运行"), QStringLiteral("运行失败"), QStringLiteral("连接中断")};
    const bool failed = info == Machine::REACT_ERROR;
    RecordActions::recordRun(RecordActions::experimentOf(mFilePath), failed && !note.isEmpty() ? note : outcomes.value(info));
    // The recovery copy stays only where the file could not be saved. Only a run that played its
    // whole program, its link up, is complete.
    if (!failed || mClosing || ZMessageBox::ask(this, UI::ReactError.arg(note))) {
        if (saveOutData(info == Machine::REACT_FINISHED)) {
            mRecorder.dropRecoveryCopy();
            RecordActions::sendToLis(this, mFilePath, LisDelivery::Moment::RunEnded);
        }
    } else {
        mRecorder.dropRecoveryCopy();
    }
    if (!note.isEmpty() && info != Machine::REACT_FINISHED)
        ui->label_TestInfo->setText(ResultText::incompleteRun() + QStringLiteral("：") + note);
    emit signalStateChanged(this);
    emit signalRunOver();
}

void ZRunWidget::recordSaved()
{
    RecordActions::recordRunSave(mFilePath);
}

QString ZRunWidget::name() const
{
    return UI::RunTabTitle.arg(pcrNumber()).arg(QFileInfo(mFilePath).completeBaseName());
}

QString ZRunWidget::title() const
{
    QString text = name();
    if (mStarted)
        text += " · " + UI::RunStates.value(mRunning ? 0 : mOutData.runComplete ? 1 : 2);
    return text;
}

void ZRunWidget::stopForClosing()
{
    if (!mRunning)
        return;
    mClosing = true;
    setPushButtonStart(false);
    ui->pushButton_Start->hide();
    mMachine->stop(pcrNumber());
}

bool ZRunWidget::saveOutData(bool complete)
{
    qDebug() << "save data" << mInData.dateTime << "module" << pcrNumber();
    OutData record;
    record.version = mOutData.version;
    record.inData = mInData;
    mRecorder.fill(record);
    record.runComplete = complete;
    // A run again on a saved experiment keeps its id, and the zone its time was taken in.
    record.recordId = mOutData.recordId;
    record.runUtcOffset = mOutData.runUtcOffset;
    record.noteRunZone();
    RecordActions::stamp(record);
    ui->label_TestInfo->clear();
    // A file that appeared under this name during the run is never replaced.
    const QString path = ExperimentName::freePath(mFilePath);
    const bool saved = !path.isEmpty() && record.saveAsFilePath(path);
    if (saved && path != mFilePath) {
        const QString wanted = QFileInfo(mFilePath).fileName();
        setMFilePath(path);
        emit signalStateChanged(this);
        ZMessageBox::tell(this, UI::SavedUnderOtherName.arg(wanted, QFileInfo(path).fileName()));
    }
    if (!saved)
        ZMessageBox::tell(this, UI::SaveDataFailInfo);
    else
        recordSaved();
    setOutData(record);
    return saved;
}

void ZRunWidget::setOutData(const OutData& data)
{
    mOutData = data;
    const SMethod& method = mOutData.inData.method;
    const TempData results(mOutData);
    ui->pushButton_MeltLight->setVisible(method.hasMeltStep());
    ui->pushButton_NewLight->setVisible(method.hasCycleStep());
    ui->pushButton_Quant->setVisible(method.hasCycleStep());
    // A record that is shown is over: its choices are open to the person from the first showing.
    ui->pushButton_Start->hide();
    showResults(results);
    ui->label_TestInfo->setText(mOutData.runComplete ? QString() : ResultText::incompleteRun());
    showSignatures();
    // An imported run has readings but no temperature trace.
    ui->chartOrgin->setLines(results.cycleLines, true);
    ui->chartOrgin->markArtifacts(results.artifacts);
    if (mOutData.tempLines.size() == 2)
        ui->chartTime->setTimeLines(mOutData.tempLines[0], mOutData.tempLines[1]);
}

void ZRunWidget::showResults(const TempData& results)
{
    const SMethod& method = mOutData.inData.method;
    if (method.hasCycleStep())
        ui->chartNew->setLines(results.relativeLines, true);
    if (method.hasMeltStep()) {
        ui->chartOrginMelt->setLines(results.originMeltLines, false);
        ui->chartNewMelt->setLines(results.newMeltLines, false);
    }
    ui->tableWidget->setOutData(mOutData);
    ui->tableWidget_Samples->setOutData(mOutData, results);
    ui->widget_Chip->setOutData(mOutData, results);
    const QuantResult quant = Quantification::of(mOutData, results);
    ui->widget_Quant->setResult(mOutData, results, quant);
    // A signed record's choices are shown, not offered.
    ui->widget_Quant->setEditable(runIsOver() && !RecordActions::ask([experiment = RecordActions::experimentOf(mFilePath)](RecordSession& s) { return s.signatures().isLocked(experiment); }));
    ui->chartStandard->setResult(quant);
    ui->chartRelative->setResult(quant);
    // The run's controls failed its method's rules: said above everything else.
    ui->label_Validity->setText(QStringLiteral("运行无效：") + quant.run.reasons.join(QStringLiteral("；")));
    ui->label_Validity->setVisible(!quant.run.valid);
}

void ZRunWidget::changeSetup(const RunSetup& setup, const QString& reason)
{
    if (!runIsOver())
        return;
    qInfo().noquote() << "quantification setup changed" << mFilePath;
    mOutData.inData.setup = setup;
    mInData.setup = setup;
    resave(reason);
    showResults(TempData(mOutData));
}

void ZRunWidget::slotButtonGroupClicked(int id)
{
    ui->stackedWidget->setCurrentIndex(id == 0 ? 0 : 1);
    if (id > 0)
        ui->stackedWidget_Info->setCurrentIndex(id - 1);
    // The quantification charts draw no hole's curve: their axes get the chip's room.
    ui->widget_Chip->setVisible(mViews->button(id) != ui->pushButton_Quant);
}
