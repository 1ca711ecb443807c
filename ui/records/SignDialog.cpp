#include "ui/records/SignDialog.h"

#include "records/RecordSession.h"
#include "ui/records/RecordActions.h"
#include "ui_SignDialog.h"

SignDialog::SignDialog(const ExperimentRef& experiment, const QString& path, QWidget* parent)
    : QDialog(parent), ui(new Ui::SignDialog), mExperiment(experiment), mPath(path)
{
    ui->setupUi(this);
    const UserAccount account = RecordActions::ask([](RecordSession& s) { return s.account(); });
    ui->label_Signer->setText(QStringLiteral("%1（%2）签名实验%3。签名后实验被锁定，不能再修改。\n请选择签名含义并输入密码：")
                                  .arg(account.fullName, Roles::name(account.role), experiment.name));
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
    const QString password = ui->lineEdit_Password->text();
    const QString chosen = meaning();
    const QString fault = RecordActions::ask([&](RecordSession& s) { return s.sign(mExperiment, mPath, chosen, password); });
    ui->lineEdit_Password->clear();
    if (fault.isEmpty())
        return accept();
    ui->label_Fault->setText(fault);
}
