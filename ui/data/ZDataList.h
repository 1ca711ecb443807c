#pragma once

#include "files/ExperimentExport.h"

#include <QWidget>

class FileSystemModel;

namespace Ui {
class ZDataList;
}

// The data-management page: the saved experiments with a name filter, a preview of the pressed
// file's raw and amplification curves, and what the list's menu asks of a file.
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
    static constexpr int MaxRenameAttempts = 20;

    Ui::ZDataList* ui;
    FileSystemModel* mModel;
    QString mPreviewPath;
};
