#include "ui/newtest/NewDialog.h"

#include "app/DataHead.h"
#include "app/ExperimentFiles.h"
#include "app/ExperimentName.h"
#include "app/UI.h"
#include "app/ZDir.h"
#include "app/ZTo.h"
#include "files/SampleSheet.h"
#include "instrument/Machine.h"
#include "instrument/StatusLine.h"
#include "method/JsonControl.h"
#include "method/ProgramCheck.h"
#include "records/RecordSession.h"
#include "ui/dialogs/SavePath.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/records/RecordActions.h"
#include "ui_NewDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QListView>
#include <QSaveFile>

namespace {
const QString NoMethodFile = QStringLiteral("未发现JSON文件，请先导入JSON配置文件！");
const QString NotImported = QStringLiteral("以下文件与已有的方法文件同名，未导入：\n%0");
const QString SheetRefused = QStringLiteral("样本表未导入，样本页未改动：\n%0");
const QString SheetTaken = QStringLiteral("已从%0填入%1个样本。");
}

NewDialog::NewDialog(const MachineData& data, QWidget* parent, Machine* machine)
    : QDialog(parent), ui(new Ui::NewDialog), mMachine(machine ? machine : Machine::instance())
{
    ui->setupUi(this);
    setWindowTitle(UI::NewDialogTitle);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    ui->stackedWidget->setCurrentIndex(0);
    ui->cBox_Pcr->setView(new QListView(ui->cBox_Pcr));
    ui->comboBox->setView(new QListView(ui->comboBox));
    setNewDialogMachineData(data);

    connect(ui->pushButton_Next, &QPushButton::clicked, this, &NewDialog::slotNextClicked);
    connect(ui->pushButton_Pre, &QPushButton::clicked, this, &NewDialog::slotPreClicked);
    connect(ui->pushButton_Cancel, &QPushButton::clicked, this, &QDialog::close);
    ui->scrollContents->connectCommands(
        {ui->pBn_AddConst, ui->pBn_AddCycle, ui->pBn_AddMelt, ui->pBn_AddNodePre, ui->pBn_AddNodeAfter, ui->pBn_Del});
    connect(ui->pBnSave, &QPushButton::clicked, this, &NewDialog::slotSaveAsJson);
    connect(ui->lEditName, &QLineEdit::textChanged, this, &NewDialog::slotTextNameChanged);
    connect(ui->pBnExport, &QPushButton::clicked, this, &NewDialog::slotExportJson);
    connect(ui->pushButton_ImportSheet, &QPushButton::clicked, this, &NewDialog::slotImportSheet);
    connect(ui->pushButton_SaveSheetTemplate, &QPushButton::clicked, this, &NewDialog::slotSaveSheetTemplate);
    fillMethodList(true);
    connect(ui->comboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { slotCurrentTextChanged(ui->comboBox->itemData(index).toString()); });
    ui->pBnSave->hide();
    startTimer(100, Qt::CoarseTimer);
}

NewDialog::~NewDialog()
{
    delete ui;
}

void NewDialog::setNewDialogMachineData(const MachineData& data)
{
    ui->cBox_Pcr->clear();
    if (!data.isOpen)
        return;
    const QVector<bool>& employed = mMachine->getMIsEmployed();
    for (int i = 0; i < mMachine->getPcrCount(); ++i) {
        const int module = data.pcrModels.value(i);
        if (module != 0 && !employed.value(i))
            ui->cBox_Pcr->addItem(QStringLiteral("PCR %0").arg(module), module);
    }
}

void NewDialog::fillMethodList(bool writeCopies)
{
    ui->comboBox->clear();
    const JsonControl* json = DataHead::instance()->getMpJsonControl();
    for (const QFileInfo& file : ZDir().getFileInfoList(UI::JsonDirName, {"*.json"})) {
        // Listed by the method's own name, the file beside it where two methods share a name.
        SMethod method;
        const bool read = json->openJsonMethod(file.filePath(), method);
        QString name = read && !method.Name.trimmed().isEmpty() ? method.Name.trimmed() : file.fileName();
        if (ui->comboBox->findText(name) >= 0)
            name += QStringLiteral("（%1）").arg(file.fileName());
        ui->comboBox->addItem(name, file.fileName());
        ui->comboBox->setItemData(ui->comboBox->count() - 1, file.fileName(), Qt::ToolTipRole);
        if (writeCopies && read)
            json->saveCompressedCopy(method, file.fileName());
    }
}

int NewDialog::exec()
{
    ui->stackedWidget->setCurrentIndex(0);
    slotCurrentTextChanged(ui->comboBox->currentData().toString());
    return QDialog::exec();
}

QString NewDialog::getMFilePath() const
{
    return UI::UserDirName.arg(QDir::currentPath()) + mName + ".pcrd";
}

void NewDialog::slotCurrentTextChanged(const QString& text)
{
    SMethod method;
    if (text.isEmpty() || !DataHead::instance()->getMpJsonControl()->openJsonMethod(UI::JsonDirName + text, method))
        return;
    mCurrentData.method = method;
    methodDataToUi(method);
}

void NewDialog::methodDataToUi(const SMethod& method)
{
    ui->label_Name->setText(method.Name);
    ui->label_Explain->setText(method.Explain);
    ui->scrollContents->setMethodFlow(method.Flow);
    ui->chipView_1->setChipSampleCount(method.SampleNumber, method.sampleHoleMap.value(0).size());
    ui->widget_Sample->setMethod(method);
    timerEvent(nullptr);
}

void NewDialog::uiToInData(InData& data)
{
    mName = ui->lEditName->text();
    data.pcrNumber = ui->cBox_Pcr->currentData().toInt();
    data.method.Flow = ui->scrollContents->getMethodFlow();
    data.serialNumber = ui->lineEdit_No->text();
    data.remark = ui->lineEdit_Remark->text();
    data.sampleRemarks = ui->widget_Sample->getSampleRemarks();
    data.sampleNames = ui->widget_Sample->getSampleNames();
    data.setup.sampleTypes = ui->widget_Sample->getSampleTypes();
}

void NewDialog::slotTextNameChanged(const QString& text)
{
    if (ui->stackedWidget->currentIndex() != 1)
        return;
    mNameInvalid = ExperimentName::hasForbiddenCharacter(text);
    if (!mNameInvalid)
        return;
    ZMessageBox::tell(this, UI::NameForbiddenChar);
    ui->lEditName->clear();
}

QString NewDialog::nextFault() const
{
    const int page = ui->stackedWidget->currentIndex();
    const QString name = ui->lEditName->text();
    if (ui->comboBox->count() == 0)
        return NoMethodFile;
    if (!name.isEmpty()) {
        const QString inUse = ExperimentName::inUseFault(UI::UserDirName.arg(QDir::currentPath()), name);
        if (!inUse.isEmpty())
            return inUse;
    }
    // Beyond the forbidden characters, the name must make a file name that works everywhere.
    if (mNameInvalid)
        return UI::NameInvalid;
    if (page == 1 && !ExperimentName::nameFault(name).isEmpty())
        return ExperimentName::nameFault(name);
    if (page == 1 && !ui->widget_Sample->typeFault().isEmpty())
        return ui->widget_Sample->typeFault();
    if (ui->cBox_Pcr->count() == 0)
        return UI::NoFoundPcr;
    // A program that could not be played safely is not handed to the run.
    if (page == 2)
        return programFault([this] {
            SMethod method = mCurrentData.method;
            method.Flow = ui->scrollContents->getMethodFlow();
            return method;
        }());
    return QString();
}

void NewDialog::slotNextClicked()
{
    const QString fault = nextFault();
    if (!fault.isEmpty())
        return ZMessageBox::tell(this, fault);
    switch (ui->stackedWidget->currentIndex()) {
    case 0: {
        mCurrentData.dateTime = QDateTime::currentDateTime();
        ui->lineEdit_No->setText(mCurrentData.dateTime.toString("yyyyMMdd_hhmmss"));
        ui->lEditName->setText(mCurrentData.dateTime.toString("yyyy-MM-dd-hh-mm-ss"));
        ui->stackedWidget->setCurrentIndex(1);
        break;
    }
    case 1: {
        // Samples without a name are asked about once: named 样本1, 样本2, ... and shown on this
        // page before going on, or kept unnamed.
        const int unnamed = ui->widget_Sample->unnamedCount();
        if (unnamed > 0 && !mAskedNames) {
            mAskedNames = true;
            if (ZMessageBox::ask(this, UI::UnnamedSamples.arg(unnamed))) {
                ui->widget_Sample->nameUnnamed();
                return;
            }
        }
        ui->pBnSave->show();
        ui->stackedWidget->setCurrentIndex(2);
        break;
    }
    default:
        uiToInData(mCurrentData);
        accept();
    }
}

void NewDialog::slotPreClicked()
{
    const int page = ui->stackedWidget->currentIndex();
    if (page == 0)
        return reject();
    if (page == 2)
        ui->pBnSave->hide();
    ui->stackedWidget->setCurrentIndex(page - 1);
}

void NewDialog::timerEvent(QTimerEvent*)
{
    mCurrentData.method.Flow = ui->scrollContents->getMethodFlow();
    // The time the run takes at the pace the modules play.
    const int seconds = runSeconds(mCurrentData.method.getAllRunCmd().size(), mMachine->stepMs());
    ui->label_Time->setText(QStringLiteral("时间:%0").arg(ZTo::secondToTimeString(seconds)));
}

void NewDialog::slotExportJson()
{
    if (!RecordActions::allowed(this, RecordActions::refusal(Permission::EditMethods)))
        return;
    const QStringList files = QFileDialog::getOpenFileNames(this, QStringLiteral("选择JSON文件"), QString(), "*.json");
    if (files.isEmpty())
        return;
    const QStringList refused = ExperimentFiles::importFiles(files, QDir::currentPath() + "/" + UI::JsonDirName);
    for (const QString& file : files)
        if (!refused.contains(QFileInfo(file).fileName()))
            RecordActions::record(QStringLiteral("导入"), QStringLiteral("method"), QFileInfo(file).fileName());
    fillMethodList(false);
    if (!refused.isEmpty())
        ZMessageBox::tell(this, NotImported.arg(refused.join("\n")));
}

void NewDialog::slotSaveAsJson()
{
    if (!RecordActions::allowed(this, RecordActions::refusal(Permission::EditMethods)))
        return;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("保存JSON文件"), "./json", "*.json");
    if (path.isEmpty())
        return;
    mCurrentData.method.Flow = ui->scrollContents->getMethodFlow();
    if (!DataHead::instance()->getMpJsonControl()->saveJsonMethod(path, mCurrentData.method))
        return ZMessageBox::tell(this, UI::SaveDataFailInfo);
    RecordActions::record(QStringLiteral("修改方法"), QStringLiteral("method"), QFileInfo(path).fileName());
}

void NewDialog::slotImportSheet()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("导入样本表"), QString(),
                                                      QStringLiteral("样本表 (*.csv *.txt *.xlsx)"));
    if (path.isEmpty())
        return;
    SampleSheet sheet;
    QString fault;
    if (!sheet.read(path, mCurrentData.method, fault))
        return ZMessageBox::tell(this, SheetRefused.arg(fault));
    ui->widget_Sample->setSamples(sheet.names(), sheet.remarks(), sheet.types());
    ZMessageBox::tell(this, SheetTaken.arg(QFileInfo(path).fileName()).arg(sheet.names().size()));
}

void NewDialog::slotSaveSheetTemplate()
{
    const SMethod& method = mCurrentData.method;
    // Proposed under the method file's name, which is a file name already.
    const QString proposed = QFileInfo(ui->comboBox->currentData().toString()).completeBaseName() + QStringLiteral("-样本表");
    const QString path = askSavePath(this, QStringLiteral("保存样本表模板"), QDir::current().filePath(proposed), "csv");
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(SampleSheet::templateFor(method)) >= 0 && file.flush() && file.commit();
    ZMessageBox::tell(this, written ? UI::FileWritten.arg(QDir::toNativeSeparators(path)) : UI::SaveDataFailInfo);
}
