#include "ui/dialogs/ZInputDialog.h"

#include "app/UI.h"
#include "ui_ZInputDialog.h"

ZInputDialog::ZInputDialog(QVariant value, QWidget* parent) : QDialog(parent), ui(new Ui::ZInputDialog), mValue(value)
{
    ui->setupUi(this);
    setWindowTitle(UI::InputTitle);
    ui->spinBox->setValue(value.toInt());
    connect(ui->pushButton_Confirm, &QPushButton::clicked, this, &ZInputDialog::slotConfirmClicked);
    connect(ui->pushButton_Cancel, &QPushButton::clicked, this, &QDialog::close);
}

ZInputDialog::~ZInputDialog()
{
    delete ui;
}

void ZInputDialog::slotConfirmClicked()
{
    mValue = QVariant(ui->spinBox->value());
    accept();
}
