#pragma once

#include "files/ExperimentExport.h"
#include "records/ResultIndex.h"

#include <optional>

#include <QWidget>

class FileSystemModel;

namespace Ui {
class ZDataList;
}

// The data-management page: the saved experiments with a name filter and a search by results,
// a preview of the pressed file's raw and amplification curves, what the list's menu asks of a
// file, and the controls' trends.
class ZDataList : public QWidget
{
    Q_OBJECT
public:
    explicit ZDataList(QWidget* parent = nullptr);
    ~ZDataList() override;

    void initFileListView();

signals:
    void signalOpenFile(QString path);

public slots:
    void slotOpenFile(QString path);
    void slotPressFile(QString path);
    void slotExport(QString path, ExperimentExport::Format format);
    void slotExportPcrd(QString path);
    void slotRename(QString path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Which experiments are signed, as the store says now.
    void showSigned();
    // Asks what to find experiments by, and lists only those the store's index finds.
    void search();
    // The name filter, within what the last search found while it stands.
    void applyFilters();
    static constexpr int MaxRenameAttempts = 20;

    Ui::ZDataList* ui;
    FileSystemModel* mModel;
    QString mPreviewPath;
    ResultIndex::Query mQuery;
    std::optional<QStringList> mFound;
};
