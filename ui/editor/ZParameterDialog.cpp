#include "ui/editor/ZParameterDialog.h"

#include "app/UI.h"
#include "app/ZTo.h"
#include "method/JsonControl.h"
#include "method/ProgramCheck.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui_ZParameterDialog.h"

#include <QDebug>
#include <QFileDialog>
#include <QGridLayout>

namespace {
const QStringList Headers = {"孔位", "荧光名", "靶标名", "自动阈值", "阈值", "自动范围", "开始位置", "结束位置", "边界阈值", "Ct阈值"};

QTableWidgetItem* fixedCell(const QString& text)
{
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled);
    cell->setTextAlignment(Qt::AlignCenter);
    return cell;
}

QString cellText(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* cell = table->item(row, column);
    return cell ? cell->text() : QString();
}
}

ZParameterDialog::ZParameterDialog(QWidget* parent) : QDialog(parent), ui(new Ui::ZParameterDialog)
{
    ui->setupUi(this);
    setWindowTitle(UI::ParameterTitle);
    // A window of its own, with a way out that does not depend on the window manager's frame.
    const QSize screen = UI::ScreenSize();
    if (screen.isValid())
        resize(screen * 0.8);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Over the middle of the window that opened it, clear of its header with or without a frame.
    if (parent)
        move(parent->window()->geometry().center() - rect().center());
    connect(ui->pBn_Close, &QPushButton::clicked, this, &QDialog::reject);
    ui->tableWidget->setColumnCount(Headers.size());
    ui->tableWidget->setHorizontalHeaderLabels(Headers);
    ui->tableWidget->horizontalHeaderItem(Headers.indexOf("自动阈值"))
        ->setToolTip(QStringLiteral("0：固定阈值；1：每孔按自身基线噪声自动；2：本通道所有孔共用一个自动阈值"));
    ui->tableWidget->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    connect(ui->pBnImage, &QPushButton::clicked, this, &ZParameterDialog::slotPBnImageClicked);
    on_spin_Channel_valueChanged(ui->spin_Channel->value());
    on_spin_Sample_valueChanged(ui->spin_Sample->value());
    startTimer(1000, Qt::CoarseTimer);
    timerEvent(nullptr);
}

ZParameterDialog::~ZParameterDialog()
{
    delete ui;
}

void ZParameterDialog::resizeEdits(QVector<QLineEdit*>& edits, QWidget* holder, int count, int perRow)
{
    auto* grid = static_cast<QGridLayout*>(holder->layout());
    while (edits.size() > count)
        delete edits.takeLast();
    while (edits.size() < count) {
        auto* edit = new QLineEdit(holder);
        edit->setMinimumHeight(32);
        grid->addWidget(edit, edits.size() / perRow, edits.size() % perRow);
        edits << edit;
    }
}

void ZParameterDialog::on_spin_Channel_valueChanged(int count)
{
    const int before = mChannelEdits.size();
    resizeEdits(mChannelEdits, ui->widget_Channel, count, 4);
    for (int c = before; c < mChannelEdits.size(); ++c)
        connect(mChannelEdits[c], &QLineEdit::textChanged, this, [this, c](const QString& name) {
            const int channels = ui->spin_Channel->value();
            for (int row = c; row < ui->tableWidget->rowCount(); row += channels)
                ui->tableWidget->setItem(row, 1, fixedCell(name));
        });
    setTableWidget(ui->spin_Hole->value(), count);
}

void ZParameterDialog::on_spin_Sample_valueChanged(int count)
{
    const int before = mSampleEdits.size();
    resizeEdits(mSampleEdits, ui->widget_Map, count, 4);
    for (int i = before; i < mSampleEdits.size(); ++i) {
        QLineEdit* edit = mSampleEdits[i];
        edit->setPlaceholderText(QStringLiteral("样本%0: 3,4,5").arg(i + 1));
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { markSampleEdit(edit); });
    }
}

void ZParameterDialog::on_spin_Hole_valueChanged(int count)
{
    setTableWidget(count, ui->spin_Channel->value());
    for (QLineEdit* edit : mSampleEdits)
        markSampleEdit(edit);
}

void ZParameterDialog::markSampleEdit(QLineEdit* edit)
{
    const int holes = ui->spin_Hole->value();
    const QVector<int> list = stringTovector(edit->text());
    const bool offChip = !edit->text().isEmpty() && std::any_of(list.cbegin(), list.cend(), [holes](int h) { return h < 1 || h > holes; });
    edit->setStyleSheet(offChip ? "QLineEdit{border:2px solid red;background:rgb(255, 235, 235);}" : QString());
    edit->setToolTip(offChip ? QStringLiteral("孔位不在芯片上（1～%0）").arg(holes) : QString());
}

namespace {
// A target's settings as the table's cells show them, from the target name on.
QStringList targetCells(const TargetInfo& t)
{
    return {t.Name,
            QString::number(t.AutoThreshold),
            QString::number(t.Threshold, 'g', 6),
            QString::number(t.AutoRange),
            QString::number(t.Start),
            QString::number(t.End),
            QString::number(t.BorderThreshold, 'g', 6),
            QString::number(t.CtThreshold, 'g', 6)};
}
}

void ZParameterDialog::setTableWidget(int holes, int channels)
{
    QTableWidget* table = ui->tableWidget;
    table->clearSpans();
    table->setRowCount(0);
    table->setRowCount(holes * channels);
    for (int h = 0; h < holes; ++h) {
        for (int c = 0; c < channels; ++c) {
            const int row = h * channels + c;
            table->setItem(row, 0, fixedCell(QString::number(h + 1)));
            table->setItem(row, 1, fixedCell(mChannelEdits.value(c) ? mChannelEdits[c]->text() : QString()));
            // A new row starts with the recommended settings; a method file's own replace them.
            const QStringList values = targetCells(TargetInfo::forNewMethod());
            for (int col = 2; col < Headers.size(); ++col) {
                auto* cell = new QTableWidgetItem(values.value(col - 2));
                cell->setTextAlignment(Qt::AlignCenter);
                table->setItem(row, col, cell);
            }
        }
        if (channels > 1)
            table->setSpan(h * channels, 0, channels, 1);
    }
}

void ZParameterDialog::setTableWidget(const SMethod& method)
{
    for (int c = 0; c < mChannelEdits.size(); ++c)
        mChannelEdits[c]->setText(method.ChannelNames.value(c));
    for (int i = 0; i < mSampleEdits.size(); ++i)
        mSampleEdits[i]->setText(vectorToString(method.sampleHoleMap.value(i)));
    if (method.holeTargets.size() != method.Hole)
        ZMessageBox::tell(this, UI::JsonHoleError);
    const int channels = ui->spin_Channel->value();
    for (int h = 0; h < qMin(method.Hole, method.holeTargets.size()); ++h) {
        const TargetInfos& targets = method.holeTargets[h];
        if (targets.names.size() != method.ChannelColor)
            ZMessageBox::tell(this, UI::JsonSampleError);
        for (int c = 0; c < channels; ++c) {
            const QStringList values = targetCells(targets.at(c));
            for (int k = 0; k < values.size(); ++k)
                if (QTableWidgetItem* cell = ui->tableWidget->item(h * channels + c, k + 2))
                    cell->setText(values[k]);
        }
    }
}

QString ZParameterDialog::vectorToString(QVector<int> holes)
{
    QStringList parts;
    for (int h : holes)
        parts << QString::number(h);
    return parts.join(",");
}

QVector<int> ZParameterDialog::stringTovector(QString text)
{
    QVector<int> holes;
    for (const QString& part : text.split(","))
        holes << part.toInt(nullptr, 10);
    return holes;
}

void ZParameterDialog::jsonToUi(const SMethod& method)
{
    // What this editor has no fields for goes back into the file as it came.
    mMethod.controlRules = method.controlRules;
    mMethod.acceptances = method.acceptances;
    ui->lEdit_Name->setText(method.Name);
    ui->lEdit_ID->setText(method.Id);
    ui->lEdit_Date->setText(method.Date);
    ui->lEdit_Explain->setText(method.Explain);
    bool ok = false;
    const int months = method.Valid.toInt(&ok, 10);
    ui->spin_Valid->setValue(ok ? months : 0);
    if (!ok)
        ZMessageBox::tell(this, UI::JsonValidError);
    ui->spin_Up->setValue(method.UpTime);
    ui->spin_Down->setValue(method.DownTime);
    ui->spin_Channel->setValue(method.ChannelColor);
    ui->spin_Sample->setValue(method.SampleNumber);
    ui->spin_Hole->setValue(method.Hole);
    ui->widget_Coordinate->setMethodFlow(method.Flow);
    setTableWidget(method);
}

void ZParameterDialog::uiToJson(SMethod& method)
{
    method.Flow = ui->widget_Coordinate->getMethodFlow();
    method.Name = ui->lEdit_Name->text();
    method.Id = ui->lEdit_ID->text();
    method.Date = ui->lEdit_Date->text();
    method.Explain = ui->lEdit_Explain->text();
    method.Valid = QString::number(ui->spin_Valid->value());
    method.ChannelColor = ui->spin_Channel->value();
    method.UpTime = ui->spin_Up->value();
    method.DownTime = ui->spin_Down->value();
    method.ChannelNames.clear();
    for (const QLineEdit* edit : mChannelEdits)
        method.ChannelNames << edit->text();
    method.SampleNumber = ui->spin_Sample->value();
    method.sampleHoleMap.clear();
    for (int i = 0; i < mSampleEdits.size(); ++i)
        method.sampleHoleMap[i] = stringTovector(mSampleEdits[i]->text());
    method.Hole = ui->spin_Hole->value();
    method.holeTargets = QVector<TargetInfos>(method.Hole);
    for (int h = 0; h < method.Hole; ++h)
        for (int c = 0; c < method.ChannelColor; ++c) {
            const int row = h * method.ChannelColor + c;
            const auto text = [this, row](int column) { return cellText(ui->tableWidget, row, column); };
            // The threshold mode is 0 (fixed), 1 (per hole) or 2 (plate-wide).
            method.holeTargets[h].append(TargetInfo{text(2), qBound(0, text(3).toInt(), 2), text(4).toDouble(), text(5).toInt(),
                                                    text(6).toInt(), text(7).toInt(), text(8).toDouble(), text(9).toDouble()});
        }
}

void ZParameterDialog::timerEvent(QTimerEvent*)
{
    uiToJson(mMethod);
    // At the pace the modules play, as the wizard and the run page give it.
    ui->label_Time->setText(QStringLiteral("反应时间:%1").arg(ZTo::runTimeString(mMethod.getAllRunCmd().size())));
}

bool ZParameterDialog::openMethodFile(const QString& path)
{
    SMethod method;
    if (!JsonControl().openJsonMethod(path, method))
        return false;
    jsonToUi(method);
    ui->label_Time->setText(QStringLiteral("反应时间:%1").arg(ZTo::runTimeString(method.getAllRunCmd().size())));
    ui->label_FileName->setText(QStringLiteral("文件名:%1").arg(path));
    return true;
}

bool ZParameterDialog::saveMethodFile(const QString& path)
{
    uiToJson(mMethod);
    const QString fault = programFault(mMethod);
    if (!fault.isEmpty()) {
        ZMessageBox::tell(this, fault);
        return false;
    }
    const JsonControl json;
    const bool saved = json.saveJsonMethod(path, mMethod);
    const bool copied = saved && json.saveCompressedCopy(mMethod, path);
    qDebug() << "method saved" << path << saved << "compressed copy" << JsonControl::compressedCopyName(path) << copied;
    // A failed save must not look like a success.
    if (!saved || !copied)
        ZMessageBox::tell(this, UI::SaveDataFailInfo);
    else
        emit methodSaved(path);
    return saved && copied;
}

void ZParameterDialog::on_pBn_Open_clicked()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("打开json文件"), UI::JsonDirName, "*.json");
    if (!path.isEmpty())
        openMethodFile(path);
}

void ZParameterDialog::on_pBn_Save_clicked()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("保存json文件"), "./", "*.json");
    if (!path.isEmpty())
        saveMethodFile(path);
}

void ZParameterDialog::on_pBn_Const_clicked()
{
    ui->widget_Coordinate->insertConstWidget();
}

void ZParameterDialog::on_pBn_Cycle_clicked()
{
    ui->widget_Coordinate->insertCycleWidget();
}

void ZParameterDialog::on_pBn_Melt_clicked()
{
    ui->widget_Coordinate->insertMeltWidget();
}

void ZParameterDialog::on_pBn_NodePre_clicked()
{
    ui->widget_Coordinate->insertPreViewNode();
}

void ZParameterDialog::on_pBn_NodeAfter_clicked()
{
    ui->widget_Coordinate->insertAfterNode();
}

void ZParameterDialog::on_pBn_Del_clicked()
{
    ui->widget_Coordinate->delStepWidget();
}

void ZParameterDialog::slotPBnImageClicked()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("选择图片"), "./", "*.png;;*.jpg");
    const QPixmap picture(path);
    if (!path.isEmpty() && !picture.isNull())
        ui->labelImage->setPixmap(picture.scaled(ui->labelImage->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
