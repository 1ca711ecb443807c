#pragma once

#include <QDialog>

class RecordSession;

namespace Ui {
class HistoryDialog;
}

// An experiment's history from the audit trail (the whole trail for no experiment), newest last,
// with its signatures and whether the trail's chain holds.
class HistoryDialog : public QDialog
{
    Q_OBJECT
public:
    HistoryDialog(RecordSession& session, const QString& experiment, QWidget* parent = nullptr);
    ~HistoryDialog() override;

private:
    Ui::HistoryDialog* ui;
};
