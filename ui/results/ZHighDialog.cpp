#include "ui/results/ZHighDialog.h"

#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "app/UI.h"
#include "ui_ZHighDialog.h"

#include <QMenu>

ZHighDialog::ZHighDialog(QWidget* parent) : QDialog(parent), ui(new Ui::ZHighDialog)
{
    ui->setupUi(this);
    setWindowTitle(UI::HighInfoTitle);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    connect(ui->pushButton_Set, &QWidget::customContextMenuRequested, this, &ZHighDialog::slotSetCustomContextMenuRequested);
    // The baseline is a line fitted through the window, and its noise the spread around that
    // line: a window needs three readings at least.
    connect(ui->spinBox_Start, QOverload<int>::of(&QSpinBox::valueChanged), this,
            [this](int start) { ui->spinBox_End->setMinimum(start + MinWindow); });
}

ZHighDialog::~ZHighDialog()
{
    delete ui;
}

void ZHighDialog::setOutData(OutData& data, int hole, int channel, bool relative)
{
    mData = &data;
    mTargetsInForce = data.inData.method.holeTargets;
    mHole = hole;
    mChannel = channel;
    const TempData results(data);
    const int i = curveIndex();
    mTarget = results.targets.value(i);
    // Which hole (as the hole table numbers it) and channel the settings are for.
    const int number = data.inData.method.runningNumbers().value(hole + 1, hole + 1);
    setWindowTitle(QStringLiteral("%1高级设置 · 孔位 %2 · %3").arg(mTarget.Name).arg(number).arg(data.inData.method.ChannelNames.value(channel)));
    const int cycles = qMax(data.inData.method.Flow.getCycle(), 0);
    ui->spinBox_Start->setMaximum(qMax(0, cycles - MinWindow));
    ui->spinBox_End->setMaximum(qMax(MinWindow, cycles));
    targetToUi(true);
    ui->label_Ct->setText(QString::number(results.ctValues.value(i), 'f', 2));
    // Set without its signal, then applied once, so the curve is drawn a single time.
    const QSignalBlocker block(ui->checkBox_Relative);
    ui->checkBox_Relative->setChecked(relative);
    applyView(relative, results);
}

void ZHighDialog::targetToUi(bool withName)
{
    if (withName)
        ui->lineEditTargetName->setText(mTarget.Name);
    ui->checkBox_AutoThreshold->setChecked(mTarget.AutoThreshold != 0);
    ui->checkBox_PlateThreshold->setChecked(mTarget.AutoThreshold == 2);
    ui->checkBox_AutoRange->setChecked(mTarget.AutoRange != 0);
    ui->dSpinBox_BaseT->setValue(mTarget.Threshold);
    ui->dSpinBox_BorderT->setValue(mTarget.BorderThreshold);
    ui->spinBox_Start->setValue(mTarget.Start);
    ui->spinBox_End->setValue(mTarget.End);
    on_checkBox_AutoThreshold_stateChanged(ui->checkBox_AutoThreshold->checkState());
    on_checkBox_AutoRange_stateChanged(ui->checkBox_AutoRange->checkState());
}


void ZHighDialog::on_checkBox_AutoThreshold_stateChanged(int state)
{
    ui->dSpinBox_BaseT->setEnabled(state == Qt::Unchecked);
    ui->checkBox_PlateThreshold->setEnabled(state != Qt::Unchecked);
}

void ZHighDialog::on_checkBox_AutoRange_stateChanged(int state)
{
    const bool manual = state == Qt::Unchecked;
    for (QWidget* w : {static_cast<QWidget*>(ui->spinBox_Start), static_cast<QWidget*>(ui->spinBox_End),
                       static_cast<QWidget*>(ui->label_), static_cast<QWidget*>(ui->label_Base)})
        w->setEnabled(manual);
}

void ZHighDialog::on_checkBox_Relative_stateChanged(int state)
{
    if (mData)
        applyView(state != Qt::Unchecked, TempData(*mData));
}

void ZHighDialog::applyView(bool relative, const TempData& results)
{
    const int i = curveIndex();
    if (relative) {
        mTarget = results.targets.value(i);
        ui->widget_Chart->setLine(results.relativeLines.value(i), mTarget.Threshold, 1);
    } else {
        ui->widget_Chart->setLine(results.cycleLines.value(i), mTarget.Threshold, 0);
    }
    for (QWidget* w : {ui->widget, static_cast<QWidget*>(ui->pushButton_Set), static_cast<QWidget*>(ui->pushButton_Confirm)})
        w->setVisible(relative);
    ui->dSpinBox_CtT->setValue(mTarget.CtThreshold);
}

void ZHighDialog::on_pushButton_Set_clicked()
{
    if (!mData)
        return;
    mTarget.Name = ui->lineEditTargetName->text();
    mTarget.AutoThreshold = !ui->checkBox_AutoThreshold->isChecked() ? 0 : ui->checkBox_PlateThreshold->isChecked() ? 2 : 1;
    mTarget.Threshold = ui->dSpinBox_BaseT->value();
    mTarget.BorderThreshold = ui->dSpinBox_BorderT->value();
    mTarget.AutoRange = ui->checkBox_AutoRange->isChecked() ? 1 : 0;
    mTarget.End = ui->spinBox_End->value();
    mTarget.Start = ui->spinBox_Start->value();
    mTarget.CtThreshold = ui->dSpinBox_CtT->value();
    const int i = curveIndex();
    mData->setTargetInfo(mTarget, i, true);
    if (ui->checkBox_WholeChannel->isChecked())
        mData->setThresholdForChannel(mTarget, mChannel);
    const TempData results(*mData);
    applyView(true, results);
    ui->label_Ct->setText(QString::number(results.ctValues.value(i), 'f', 2));
    targetToUi(false);
}

void ZHighDialog::on_pushButton_Confirm_clicked()
{
    // What is in the widgets is what the operator means to save, pressed "设定" or not.
    on_pushButton_Set_clicked();
    accept();
}

void ZHighDialog::on_pushButton_Cancel_clicked()
{
    reject();
}

void ZHighDialog::reject()
{
    if (mData)
        mData->inData.method.holeTargets = mTargetsInForce;
    QDialog::reject();
}

void ZHighDialog::applyToChannel(int channel)
{
    if (mData)
        mData->setTargetInfoForChannel(mTarget, channel);
}

void ZHighDialog::slotSetCustomContextMenuRequested(const QPoint& at)
{
    QMenu menu(this);
    menu.addAction(UI::AllSet, this, [this] { applyToChannel(-1); });
    menu.addAction(UI::AllSetFam, this, [this] { applyToChannel(0); });
    menu.addAction(UI::AllSetRox, this, [this] { applyToChannel(1); });
    menu.exec(ui->pushButton_Set->mapToGlobal(at));
}
