#include "ui/data/FileView.h"

#include "app/ExperimentFiles.h"
#include "app/ExperimentName.h"
#include "app/UI.h"
#include "files/RdmlImport.h"
#include "platform/FolderOpener.h"
#include "records/RecordSession.h"
#include "ui/data/FileSystemModel.h"
#include "ui/data/InputTextDialog.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/records/RecordActions.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMap>
#include <QMenu>
#include <QSet>

FileView::FileView(QWidget* parent) : QTreeView(parent)
{
    connect(this, &QTreeView::pressed, this, [this](const QModelIndex& index) { emit signalPressFile(filePath(index)); });
    connect(this, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) { emit signalOpenFile(filePath(index)); });
}

QString FileView::folder() const
{
    const auto* files = qobject_cast<FileSystemModel*>(model());
    return files ? files->rootPath() : QString();
}

QString FileView::filePath(const QModelIndex& index) const
{
    const auto* files = qobject_cast<FileSystemModel*>(model());
    return files && index.isValid() ? files->filePath(index) : QString();
}

void FileView::contextMenuEvent(QContextMenuEvent* event)
{
    // The event comes from the viewport, in its coordinates.
    const QString path = filePath(indexAt(event->pos()));
    QMenu menu(this);
    if (!path.isEmpty()) {
        menu.addAction(UI::ActionOpen, this, [this, path] { emit signalOpenFile(path); });
        menu.addSeparator();
        using ExperimentExport::Format;
        menu.addAction(UI::ActionExportExcel, this, [this, path] { emit signalExport(path, Format::Excel); });
        menu.addAction(UI::ActionExportRdml, this, [this, path] { emit signalExport(path, Format::Rdml); });
        menu.addAction(UI::ActionExportCsv, this, [this, path] { emit signalExport(path, Format::Csv); });
        menu.addAction(UI::ActionExportPcrd, this, [this, path] { emit signalExportPcrd(path); });
    }
    menu.addAction(UI::ActionImport, this, &FileView::importFiles);
    if (!path.isEmpty())
        menu.addAction(UI::ActionRename, this, [this, path] { emit signalRename(path); });
    menu.addAction(UI::ActionUrl, this, [this] {
        if (!Platform::openFolder(folder()))
            ZMessageBox::tell(this, UI::FolderIsAt.arg(QDir::toNativeSeparators(folder())));
    });
    if (!path.isEmpty())
        RecordActions::addTo(menu, this, path, [this] { emit signalSignaturesChanged(); });
    menu.addSeparator();
    if (!path.isEmpty())
        menu.addAction(UI::ActionDel, this, &FileView::deleteSelected);
    menu.exec(event->globalPos());
    QTreeView::contextMenuEvent(event);
}

void FileView::importFiles()
{
    QStringList refused;
    for (const QString& path : QFileDialog::getOpenFileNames(this, UI::PcrdImport, QString(), UI::ImportFilter)) {
        if (!path.endsWith(".pcrd", Qt::CaseInsensitive)) {
            importRdml(path);
            continue;
        }
        const QString name = importName(QFileInfo(path).completeBaseName());
        const QString target = QDir(folder()).filePath(name + ".pcrd");
        if (name.isEmpty())
            continue;
        if (!QFile::copy(path, target) || !RecordActions::recordImport(target, path))
            refused << QFileInfo(path).fileName();
    }
    if (!refused.isEmpty())
        ZMessageBox::tell(this, UI::ImportRefused.arg(refused.join("\n")));
}

QString FileView::importName(const QString& base)
{
    QString name = base;
    for (int attempt = 0; attempt < MaxNameAttempts; ++attempt) {
        const QString fault = ExperimentName::saveFault(folder(), name);
        if (fault.isEmpty())
            return name;
        ZMessageBox::tell(this, fault);
        const QString free = ExperimentName::freePath(QDir(folder()).filePath(name + ".pcrd"));
        InputTextDialog dialog(free.isEmpty() ? name : QFileInfo(free).fileName(), this);
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        name = dialog.getVariant().toString();
    }
    return QString();
}

void FileView::importRdml(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    RdmlReader file;
    if (!file.read(path))
        return ZMessageBox::tell(this, UI::RdmlRefused.arg(name, file.error()));
    int run = 0;
    if (file.runs().size() > 1) {
        QStringList runs;
        for (const RdmlReader::Run& r : file.runs())
            runs << r.name();
        bool chosen = false;
        const QString choice = QInputDialog::getItem(this, UI::ChooseRun, UI::ChooseRunLabel, runs, 0, false, &chosen);
        if (!chosen)
            return;
        run = runs.indexOf(choice);
    }
    OutData data;
    QString why;
    if (!RdmlImport::toOutData(file, run, data, why))
        return ZMessageBox::tell(this, UI::RdmlRefused.arg(name, why));
    const QString base = importName(QFileInfo(path).completeBaseName());
    if (base.isEmpty())
        return;
    const QString target = QDir(folder()).filePath(base + ".pcrd");
    RecordActions::stamp(data);
    if (!data.saveAsFilePath(target))
        return ZMessageBox::tell(this, UI::RdmlRefused.arg(name, UI::ExportError.arg(base + ".pcrd")));
    if (!RecordActions::recordImport(target, path))
        ZMessageBox::tell(this, UI::ImportRefused.arg(QFileInfo(path).fileName()));
}

void FileView::deleteSelected()
{
    QSet<QString> unique;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        unique.insert(filePath(index));
    unique.remove(QString());
    QStringList paths = unique.values();
    paths.sort();
    if (paths.isEmpty())
        return;
    for (const QString& path : paths) {
        if (ExperimentName::isOpen(path))
            return ZMessageBox::tell(this, UI::ExperimentOpen.arg(QFileInfo(path).fileName()));
        if (!RecordActions::allowed(this, RecordActions::changeRefusal(path, Permission::DeleteRecords)))
            return;
    }
    const QString question = paths.size() > 1 ? UI::DelPcrdFiles.arg(paths.size()) : UI::DelPcrdFile.arg(QFileInfo(paths.first()).fileName());
    if (!ZMessageBox::ask(this, question))
        return;
    QMap<QString, QString> hashes;
    QMap<QString, ExperimentRef> refs;
    for (const QString& path : paths) {
        hashes[path] = Signatures::fileHash(path);
        refs[path] = RecordActions::experimentOf(path);
    }
    const QStringList remaining = ExperimentFiles::remove(paths);
    RecordActions::ask([&](RecordSession& s) {
        for (const QString& path : paths)
            if (!QFile::exists(path)) {
                s.recordOn(refs[path], QStringLiteral("删除"), QStringLiteral("SHA-256 ") + hashes[path], QString());
                s.forgetExperiment(refs[path].name);
            }
    });
    emit signalRemoved(paths);
    if (!remaining.isEmpty())
        ZMessageBox::tell(this, UI::DeleteRefused.arg(remaining.join("\n")));
}
