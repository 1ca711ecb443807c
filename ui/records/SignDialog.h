#pragma once

#include "records/ExperimentRef.h"

#include <QDialog>

namespace Ui {
class SignDialog;
}

// The signed-in reviewer signs an experiment: the meaning chosen, the password typed again.
class SignDialog : public QDialog
{
    Q_OBJECT
public:
    SignDialog(const ExperimentRef& experiment, const QString& path, QWidget* parent = nullptr);
    ~SignDialog() override;
    // The meaning chosen (审核 or 批准).
    QString meaning() const;

private:
    void trySign();

    Ui::SignDialog* ui;
    ExperimentRef mExperiment;
    QString mPath;
};
