#pragma once

#include <QDialog>

namespace Ui {
class ReasonDialog;
}

// Asks why a record is changed; "确认" only with a reason typed.
class ReasonDialog : public QDialog
{
    Q_OBJECT
public:
    ReasonDialog(const QString& question, QWidget* parent = nullptr);
    ~ReasonDialog() override;

    // False when the person gave up.
    static bool ask(QWidget* parent, const QString& question, QString& reason);

private:
    Ui::ReasonDialog* ui;
};
