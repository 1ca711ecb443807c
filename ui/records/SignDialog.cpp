#include "ui/records/SignDialog.h"

#include "records/RecordSession.h"
#include "ui_SignDialog.h"

SignDialog::SignDialog(RecordSession& session, const ExperimentRef& experiment, const QString& path, QWidget* parent)
    : QDialog(parent), ui(new Ui::SignDialog), mSession(session), mExperiment(experiment), mPath(path)
{
    ui->setupUi(this);
    ui->label_Signer->setText(QStringLiteral("%1（%2）签名实验%3。签名后实验被锁定，不能再修改。\n请选择签名含义并输入密码：")
                                  .arg(session.account().fullName, Roles::name(session.account().role), experiment.name));
    ui->comboBox_Meaning->addItems(Signatures::meanings());
    ui->pushButton_Sign->setDefault(true);
    connect(ui->pushButton_Sign, &QPushButton::clicked, this, &SignDialog::trySign);
    connect(ui->pushButton_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    ui->lineEdit_Password->setFocus();
}

SignDialog::~SignDialog()
{
    delete ui;
}

QString SignDialog::meaning() const
{
    return ui->comboBox_Meaning->currentText();
}

void SignDialog::trySign()
{
    const QString fault = mSession.sign(mExperiment, mPath, meaning(), ui->lineEdit_Password->text());
    ui->lineEdit_Password->clear();
    if (fault.isEmpty())
        return accept();
    ui->label_Fault->setText(fault);
}
