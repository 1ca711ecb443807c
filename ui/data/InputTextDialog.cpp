#include "ui/data/InputTextDialog.h"

#include "app/ExperimentFiles.h"
#include "app/UI.h"
#include "ui_InputTextDialog.h"

InputTextDialog::InputTextDialog(const QVariant& value, QWidget* parent) : QDialog(parent), ui(new Ui::InputTextDialog)
{
    ui->setupUi(this);
    setWindowTitle(UI::InputTitle);
    ui->lineEdit->setText(ExperimentFiles::baseName(value.toString()));
    ui->lineEdit->selectAll();
    connect(ui->pushButton_Confirm, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->pushButton_Cancel, &QPushButton::clicked, this, &QDialog::close);
}

InputTextDialog::~InputTextDialog()
{
    delete ui;
}

QVariant InputTextDialog::getVariant() const
{
    return ui->lineEdit->text();
}
