#pragma once

#include "records/ExperimentRef.h"

#include <QDialog>

namespace Ui {
class HistoryDialog;
}

// An experiment's history from the audit trail, newest last, with its signatures; or the whole
// trail, with whether its chain holds.
class HistoryDialog : public QDialog
{
    Q_OBJECT
public:
    HistoryDialog(const ExperimentRef& experiment, QWidget* parent = nullptr);
    ~HistoryDialog() override;

private:
    Ui::HistoryDialog* ui;
};
