#include "ui/editor/MethodDialog.h"

#include "app/UI.h"
#include "app/ZTo.h"
#include "method/ChipLayouts.h"
#include "method/ProgramCheck.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui_MethodDialog.h"

MethodDialog::MethodDialog(QWidget* parent) : QDialog(parent), ui(new Ui::MethodDialog)
{
    ui->setupUi(this);
    sampleHoleMapsInit();
    setWindowTitle(UI::MethodTitle);
    ui->widget_Coordinate->connectCommands({ui->pBn_Const, ui->pBn_Cycle, ui->pBn_Melt, ui->pBn_NodePre, ui->pBn_NodeAfter, ui->pBn_Del});
    connect(ui->pBn_Save, &QPushButton::clicked, this, &MethodDialog::slotSaveAsJson);
    // A way out that does not depend on the window manager's frame.
    connect(ui->pBn_Close, &QPushButton::clicked, this, &QDialog::reject);
    // The types keep their short names; what each means is said in words.
    const QVector<ChipLayout> layouts = chipLayouts();
    const QVector<QRadioButton*> buttons = layoutButtons();
    for (int i = 0; i < buttons.size() && i < layouts.size(); ++i) {
        const SampleHoleMap& map = *layouts[i].map;
        QStringList unused;
        for (int position = 1; position <= 26; ++position) {
            bool used = false;
            for (const QVector<int>& holes : map)
                used = used || holes.contains(position);
            if (!used)
                unused << QString::number(position);
        }
        buttons[i]->setToolTip(QStringLiteral("%1个样本，每个样本%2孔").arg(map.size()).arg(map.value(0).size())
                               + (unused.isEmpty() ? QString() : QStringLiteral("，不用位置%1").arg(unused.join(QStringLiteral("、")))));
    }
    startTimer(1000, Qt::CoarseTimer);
}

MethodDialog::~MethodDialog()
{
    delete ui;
}

QVector<QRadioButton*> MethodDialog::layoutButtons() const
{
    return {ui->rBtn1x26, ui->rBtn1x24_1, ui->rBtn2x12_1, ui->rBtn2x12_2, ui->rBtn4x6_1, ui->rBtn4x6_2, ui->rBtn12x2_1, ui->rBtn13x2};
}

void MethodDialog::setMethod(const SMethod& method)
{
    mMethod = method;
    ui->lEdit_Name->setText(method.Name);
    ui->lEdit_ID->setText(method.Id);
    ui->lEdit_Date->setText(method.Date);
    ui->lEdit_Explain->setText(method.Explain);
    ui->widget_Coordinate->setMethodFlow(method.Flow);
    ui->tableWidget_Rules->setMethod(method);
    // Saving writes the box back, so it starts at the method's own validity.
    ui->spin_Valid->setValue(method.Valid.toInt());
    // The experiment's own layout stays chosen; saving must not change its samples unasked.
    const int layout = chipLayoutIndexOf(method.sampleHoleMap);
    layoutButtons().value(layout, ui->rBtn13x2)->setChecked(true);
    timerEvent(nullptr);
}

void MethodDialog::timerEvent(QTimerEvent*)
{
    SMethod shown = mMethod;
    shown.Flow = ui->widget_Coordinate->getMethodFlow();
    // At the pace the modules play, as the wizard and the run page give it.
    ui->label_Time->setText(QStringLiteral("时间:%0").arg(ZTo::runTimeString(shown.getAllRunCmd().size())));
}

void MethodDialog::setReadOnly()
{
    for (QWidget* editing : QList<QWidget*>{ui->lEdit_Name, ui->lEdit_ID, ui->lEdit_Date, ui->lEdit_Explain, ui->spin_Valid,
                                            ui->groupBox_Chip, ui->pBn_Const, ui->pBn_Cycle, ui->pBn_Melt, ui->pBn_Del,
                                            ui->pBn_NodeAfter, ui->pBn_NodePre, ui->scrollArea->widget(), ui->tableWidget_Rules})
        editing->setEnabled(false);
    ui->pBn_Save->hide();
}

void MethodDialog::slotSaveAsJson()
{
    SMethod edited = mMethod;
    edited.Name = ui->lEdit_Name->text();
    edited.Id = ui->lEdit_ID->text();
    edited.Date = ui->lEdit_Date->text();
    edited.Explain = ui->lEdit_Explain->text();
    edited.Valid = QString::number(ui->spin_Valid->value());
    edited.Hole = 26;
    edited.ChannelColor = 2;
    edited.ChannelNames = QStringList{"FAM", "ROX"};
    edited.UpTime = 3.5;
    edited.DownTime = 3.5;
    edited.Flow = ui->widget_Coordinate->getMethodFlow();
    const QVector<ChipLayout> layouts = chipLayouts();
    const QVector<QRadioButton*> buttons = layoutButtons();
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked()) {
            edited.sampleHoleMap = *layouts[i].map;
            edited.SampleNumber = edited.sampleHoleMap.size();
            break;
        }
    QString fault = programFault(edited);
    if (fault.isEmpty())
        ui->tableWidget_Rules->rules(edited.controlRules, edited.acceptances, fault);
    if (!fault.isEmpty()) {
        ZMessageBox::tell(this, fault);
        return;
    }
    mMethod = edited;
    accept();
}
