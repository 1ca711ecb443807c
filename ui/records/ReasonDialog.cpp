#include "ui/records/ReasonDialog.h"

#include "ui_ReasonDialog.h"

ReasonDialog::ReasonDialog(const QString& question, QWidget* parent) : QDialog(parent), ui(new Ui::ReasonDialog)
{
    ui->setupUi(this);
    ui->label_Question->setText(question);
    ui->pushButton_Confirm->setEnabled(false);
    ui->pushButton_Confirm->setDefault(true);
    connect(ui->lineEdit_Reason, &QLineEdit::textChanged, this,
            [this](const QString& text) { ui->pushButton_Confirm->setEnabled(!text.trimmed().isEmpty()); });
    connect(ui->pushButton_Confirm, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->pushButton_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

ReasonDialog::~ReasonDialog()
{
    delete ui;
}

bool ReasonDialog::ask(QWidget* parent, const QString& question, QString& reason)
{
    ReasonDialog dialog(question, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    reason = dialog.ui->lineEdit_Reason->text().trimmed();
    return !reason.isEmpty();
}
