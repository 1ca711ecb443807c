#pragma once

#include "files/ExperimentExport.h"

#include <QTreeView>

// The list of experiment files with its context menu. Opening, exporting and renaming go to the
// page through the signals; importing, deleting and showing the folder happen here.
class FileView : public QTreeView
{
    Q_OBJECT
public:
    explicit FileView(QWidget* parent = nullptr);

signals:
    void signalOpenFile(QString path);
    void signalPressFile(QString path);
    void signalExport(QString path, ExperimentExport::Format format);
    void signalExportPcrd(QString path);
    void signalRename(QString path);
    // The operator deleted these files (those still there were refused).
    void signalRemoved(QStringList paths);
    // A file was signed or unlocked.
    void signalSignaturesChanged();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QString folder() const;
    QString filePath(const QModelIndex& index) const;
    void importFiles();
    // One run of an RDML file as an experiment of the folder, under the file's name; the operator
    // chooses the run when there are several, and is told why a file does not fit.
    void importRdml(const QString& path);
    // The name an imported experiment is stored under: its own, or, where that is refused (in use,
    // not a portable name), the one the operator gives in its place; empty when they give up.
    QString importName(const QString& base);
    static constexpr int MaxNameAttempts = 20;
    void deleteSelected();
};
