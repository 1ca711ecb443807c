#include "ui/data/FileView.h"

#include "app/ExperimentFiles.h"
#include "app/ExperimentName.h"
#include "app/UI.h"
#include "platform/FolderOpener.h"
#include "ui/dialogs/ZMessageBox.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMenu>
#include <QSet>

FileView::FileView(QWidget* parent) : QTreeView(parent)
{
    connect(this, &QTreeView::pressed, this, [this](const QModelIndex& index) { emit signalPressFile(filePath(index)); });
    connect(this, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) { emit signalOpenFile(filePath(index)); });
}

QString FileView::folder() const
{
    const auto* files = qobject_cast<QFileSystemModel*>(model());
    return files ? files->rootPath() : QString();
}

QString FileView::filePath(const QModelIndex& index) const
{
    const auto* files = qobject_cast<QFileSystemModel*>(model());
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
        menu.addAction(UI::ActionExportExcel, this, [this, path] { emit signalExportExcel(path); });
        menu.addAction(UI::ActionExportPcrd, this, [this, path] { emit signalExportPcrd(path); });
    }
    menu.addAction(UI::ActionImport, this, &FileView::importFiles);
    if (!path.isEmpty())
        menu.addAction(UI::ActionRename, this, [this, path] { emit signalRename(path); });
    menu.addAction(UI::ActionUrl, this, [this] {
        if (!Platform::openFolder(folder()))
            ZMessageBox::tell(this, UI::FolderIsAt.arg(QDir::toNativeSeparators(folder())));
    });
    menu.addSeparator();
    if (!path.isEmpty())
        menu.addAction(UI::ActionDel, this, &FileView::deleteSelected);
    menu.exec(event->globalPos());
    QTreeView::contextMenuEvent(event);
}

void FileView::importFiles()
{
    const QStringList files = QFileDialog::getOpenFileNames(this, UI::PcrdImport, QString(), "*.pcrd");
    const QStringList refused = ExperimentFiles::importFiles(files, folder());
    if (!refused.isEmpty())
        ZMessageBox::tell(this, UI::ImportRefused.arg(refused.join("\n")));
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
    for (const QString& path : paths)
        if (ExperimentName::isOpen(path))
            return ZMessageBox::tell(this, UI::ExperimentOpen.arg(QFileInfo(path).fileName()));
    const QString question = paths.size() > 1 ? UI::DelPcrdFiles.arg(paths.size()) : UI::DelPcrdFile.arg(QFileInfo(paths.first()).fileName());
    if (!ZMessageBox::ask(this, question))
        return;
    const QStringList remaining = ExperimentFiles::remove(paths);
    emit signalRemoved(paths);
    if (!remaining.isEmpty())
        ZMessageBox::tell(this, UI::DeleteRefused.arg(remaining.join("\n")));
}
