#include "ui/records/LoginDialog.h"

#include "records/RecordSession.h"
#include "ui/records/RecordActions.h"
#include "ui_LoginDialog.h"

LoginDialog::LoginDialog(Mode mode, QWidget* parent) : QDialog(parent), ui(new Ui::LoginDialog), mMode(mode)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);
    if (mode == Mode::Locked) {
        ui->label_Title->setText(QStringLiteral("程序已锁定，请登录"));
        ui->pushButton_Quit->hide();
    }
    ui->pushButton_Login->setDefault(true);
    connect(ui->pushButton_Login, &QPushButton::clicked, this, &LoginDialog::tryLogin);
    connect(ui->pushButton_Quit, &QPushButton::clicked, this, [this] { QDialog::reject(); });
    ui->lineEdit_User->setFocus();
}

void LoginDialog::setUser(const QString& name)
{
    ui->lineEdit_User->setText(name);
    ui->lineEdit_Password->setFocus();
}

LoginDialog::~LoginDialog()
{
    delete ui;
}

void LoginDialog::reject()
{
    // Escape does not open a locked program.
    if (mMode == Mode::Start)
        QDialog::reject();
}

void LoginDialog::tryLogin()
{
    const QString name = ui->lineEdit_User->text().trimmed();
    const QString password = ui->lineEdit_Password->text();
    const QString fault = RecordActions::ask([&](RecordSession& s) { return s.login(name, password); });
    ui->lineEdit_Password->clear();
    if (fault.isEmpty())
        return accept();
    ui->label_Fault->setText(fault);
}
