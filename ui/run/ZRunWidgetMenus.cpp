// What the operator can do with a page once its run is over: per-cell analysis settings, method
// details, the after-run menu and the table's refresh; every change to the record is saved again.
#include "ui/run/ZRunWidget.h"

#include "analysis/TempData.h"
#include "app/DataHead.h"
#include "app/UI.h"
#include "files/ExcelControl.h"
#include "method/JsonControl.h"
#include "method/RecordEdits.h"
#include "platform/FolderOpener.h"
#include "ui/dialogs/ExportExperiment.h"
#include "ui/dialogs/SavePath.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/editor/MethodDialog.h"
#include "records/RecordSession.h"
#include "ui/records/ReasonDialog.h"
#include "ui/records/RecordActions.h"
#include "ui/results/ZHighDialog.h"
#include "ui_ZRunWidget.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

bool ZRunWidget::resave(const QString& givenReason)
{
    // Written only when something changed: a rewrite of the same record would still move the
    // file's date, and the data page, sorted by date, would reorder under the operator.
    OutData onDisk;
    const bool readable = onDisk.openAs(mFilePath) == 0;
    if (readable && onDisk == mOutData)
        return true;
    const ExperimentRef experiment = RecordActions::experimentOf(mFilePath);
    QString refusal = RecordActions::changeRefusal(mFilePath);
    QString reason = givenReason;
    const bool refused = !refusal.isEmpty();
    // The page goes back to what the file holds, so that nothing shown differs from it.
    const auto showFile = [&] {
        if (!readable)
            return;
        const OutData record = onDisk;
        setInData(record.inData);
        setOutData(record);
    };
    if (refused || (RecordActions::ask([](RecordSession& s) { return s.reasonsRequired(); }) && reason.isEmpty() && !ReasonDialog::ask(this, UI::ChangeReason.arg(experiment.name), reason))) {
        if (refused)
            RecordActions::allowed(this, refusal);
        showFile();
        return false;
    }
    RecordActions::stamp(mOutData);
    const bool saved = mOutData.saveAsFilePath(mFilePath);
    qDebug() << "save again" << mFilePath << saved;
    if (!saved) {
        ZMessageBox::tell(this, UI::SaveDataFailInfo);
        return false;
    }
    const ExperimentRef stamped = ExperimentRef::of(mFilePath, mOutData);
    // A change the trail does not take is not made: the file and the page go back.
    QString fault;
    const OutData changed = mOutData;
    const bool recorded = RecordActions::ask([&](RecordSession& s) {
        const bool ok = s.recordChanges(stamped, onDisk, changed, reason) && s.indexExperiment(stamped, mFilePath);
        fault = s.fault();
        return ok;
    });
    if (!recorded) {
        if (readable)
            onDisk.saveAsFilePath(mFilePath);
        showFile();
        ZMessageBox::tell(this, QStringLiteral("记录库未能记录此修改（%1），修改未保存").arg(fault));
        return false;
    }
    return true;
}

bool ZRunWidget::mayChange()
{
    return RecordActions::allowed(this, RecordActions::changeRefusal(mFilePath));
}

void ZRunWidget::showSignatures()
{
    bool red = false;
    const QString line = RecordActions::signatureLine(mFilePath, red);
    ui->label_Signatures->setText(line);
    ui->label_Signatures->setProperty("warn", red);
    ui->label_Signatures->style()->unpolish(ui->label_Signatures);
    ui->label_Signatures->style()->polish(ui->label_Signatures);
    ui->label_Signatures->setVisible(!line.isEmpty());
}

void ZRunWidget::slotCellDoubleClicked(int row, int column)
{
    if (!runIsOver() || column <= 2 || !mayChange())
        return;
    const int target = (column - 3) / 4;
    qDebug() << "settings of row" << row << "target" << target;
    ZHighDialog dialog(this);
    dialog.setOutData(mOutData, row, target, ui->stackedWidget_Info->currentIndex() != 0);
    if (dialog.exec() != QDialog::Accepted)
        return;
    showResults(TempData(mOutData));
    resave();
}

void ZRunWidget::slotMethodClicked()
{
    MethodDialog dialog(this);
    dialog.setMethod(mInData.method);
    // The record must hold exactly the method that is played.
    if (mRunning)
        dialog.setReadOnly();
    if (dialog.exec() != QDialog::Accepted || mRunning)
        return;
    mInData.method = dialog.getMMethod();
    mInData.sampleNames.resize(mInData.method.SampleNumber);
    mInData.sampleRemarks.resize(mInData.method.SampleNumber);
    ui->tableWidget->setInData(mInData);
    ui->widget_Chip->setMethod(mInData.method, false);
}

void ZRunWidget::slotCustomContextMenuRequested(const QPoint& at)
{
    if (!runIsOver())
        return;
    QMenu menu(this);
    using ExperimentExport::Format;
    menu.addAction(UI::ActionExportExcel, this, [this] { exportAs(Format::Excel); });
    menu.addAction(UI::ActionExportRdml, this, [this] { exportAs(Format::Rdml); });
    menu.addAction(UI::ActionExportCsv, this, [this] { exportAs(Format::Csv); });
    menu.addAction(UI::ActionUrl, this, [this] {
        const QString folder = QFileInfo(mFilePath).absolutePath();
        if (!Platform::openFolder(folder))
            ZMessageBox::tell(this, UI::FolderIsAt.arg(QDir::toNativeSeparators(folder)));
    });
    menu.addAction(UI::ActionJSON, this, &ZRunWidget::replaceMethod);
    menu.addAction(UI::ActionSaveJson, this, &ZRunWidget::saveMethodAs);
    menu.addAction(UI::ActionFaker, this, &ZRunWidget::replaceReadings);
    RecordActions::addTo(menu, this, mFilePath, [this] {
        showSignatures();
        showResults(TempData(mOutData));
    });
    menu.exec(ui->pushButton_InData->mapToGlobal(at));
}

void ZRunWidget::exportAs(ExperimentExport::Format format)
{
    // Beside the experiment, under its name, as the data page proposes it.
    QString proposed = mFilePath;
    proposed.chop(QFileInfo(mFilePath).suffix().size() + 1);
    const QString written = exportExperiment(this, mOutData, format, proposed, QFileInfo(mFilePath).completeBaseName(),
                                              RecordActions::exportRows(mFilePath));
    RecordActions::recordExport(mFilePath, written);
}

void ZRunWidget::replaceMethod()
{
    if (!mayChange())
        return;
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("选择JSON文件"), QDir::current().absoluteFilePath(UI::JsonDirName), "JSON (*.json)");
    SMethod method;
    if (path.isEmpty() || !DataHead::instance()->getMpJsonControl()->openJsonMethod(path, method))
        return;
    const QString name = QFileInfo(path).fileName();
    const QString mismatch = RecordEdits::methodMismatch(mOutData.inData.method, method);
    if (!mismatch.isEmpty())
        return ZMessageBox::tell(this, UI::MethodDoesNotFit.arg(name, mismatch));
    if (method == mOutData.inData.method)
        return ZMessageBox::tell(this, UI::MethodSame.arg(name));
    if (!ZMessageBox::ask(this, UI::ReplaceMethod.arg(name)))
        return;
    mOutData.inData.method = method;
    recordEdit(RecordEdits::methodReplaced(QDateTime::currentDateTime(), name), path);
}

void ZRunWidget::saveMethodAs()
{
    if (!RecordActions::allowed(this, RecordActions::refusal(Permission::EditMethods)))
        return;
    // Into the method folder, where the wizard lists methods.
    const QString path = askSavePath(this, QStringLiteral("保存JSON文件"), QDir::current().absoluteFilePath(UI::JsonDirName + mInData.method.Name), "json");
    if (path.isEmpty())
        return;
    const bool written = DataHead::instance()->getMpJsonControl()->saveJsonMethod(path, mInData.method);
    if (written)
        RecordActions::record(QStringLiteral("修改方法"), QStringLiteral("method"), QFileInfo(path).fileName(), QString(),
                              QStringLiteral("由实验%1另存").arg(QFileInfo(mFilePath).completeBaseName()));
    ZMessageBox::tell(this, written ? UI::FileWritten.arg(QDir::toNativeSeparators(path)) : UI::SaveDataFailInfo);
}

void ZRunWidget::replaceReadings()
{
    if (!mayChange())
        return;
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("选择excel文件"), QFileInfo(mFilePath).absolutePath(),
                                                      UI::WorkbookFilter);
    if (path.isEmpty())
        return;
    QVector<Curve> readings;
    const QString fault = DataHead::instance()->getMpExcelControl()->readingsFromWorkbook(mOutData, path, readings);
    const QString name = QFileInfo(path).fileName();
    if (!fault.isEmpty())
        return ZMessageBox::tell(this, fault);
    if (readings == mOutData.pdLines)
        return ZMessageBox::tell(this, UI::WorkbookSameReadings.arg(name));
    if (!ZMessageBox::ask(this, UI::ReplaceReadings.arg(name)))
        return;
    mOutData.pdLines = readings;
    recordEdit(RecordEdits::readingsReplaced(QDateTime::currentDateTime(), name), path);
}

void ZRunWidget::recordEdit(const QString& mark, const QString& source)
{
    // Measured data changed after the run: the record says so wherever it is shown or exported.
    mOutData.inData.appendRemark(mark);
    qInfo().noquote() << mark << mFilePath << "from" << source;
    resave();
    const OutData record = mOutData;
    setInData(record.inData);
    setOutData(record);
}

void ZRunWidget::slotTableWidgetCustomContextMenuRequested(const QPoint&)
{
    if (!runIsOver())
        return;
    ui->tableWidget->setInData(mOutData.inData);
    showResults(TempData(mOutData));
    resave();
}
