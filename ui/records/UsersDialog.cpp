#include "ui/records/UsersDialog.h"

#include "records/RecordSession.h"
#include "ui/records/RecordActions.h"
#include "ui_UsersDialog.h"

#include <QHeaderView>

UsersDialog::UsersDialog(QWidget* parent) : QDialog(parent), ui(new Ui::UsersDialog)
{
    ui->setupUi(this);
    for (Role role : {Role::Operator, Role::Reviewer, Role::Administrator})
        ui->comboBox_Role->addItem(Roles::name(role), Roles::code(role));
    ui->tableWidget_Users->setColumnCount(4);
    ui->tableWidget_Users->setHorizontalHeaderLabels({QStringLiteral("用户名"), QStringLiteral("姓名"), QStringLiteral("角色"), QStringLiteral("状态")});
    ui->tableWidget_Users->verticalHeader()->hide();
    ui->tableWidget_Users->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    connect(ui->pushButton_Add, &QPushButton::clicked, this, [this] {
        const QString password = typedPassword();
        if (password.isEmpty())
            return;
        Role role = Role::Operator;
        Roles::fromCode(ui->comboBox_Role->currentData().toString(), role);
        const QString name = ui->lineEdit_Name->text().trimmed();
        const QString fullName = ui->lineEdit_FullName->text();
        done(RecordActions::ask([&](RecordSession& s) { return s.users().add(name, fullName, role, password); }), QStringLiteral("添加用户"),
             name, Roles::code(role));
    });
    connect(ui->pushButton_Password, &QPushButton::clicked, this, [this] {
        const QString name = selected();
        const QString password = name.isEmpty() ? QString() : typedPassword();
        if (!password.isEmpty())
            done(RecordActions::ask([&](RecordSession& s) { return s.users().setPassword(name, password); }), QStringLiteral("修改密码"), name);
    });
    connect(ui->pushButton_Disable, &QPushButton::clicked, this, [this] {
        const QString name = selected();
        if (!name.isEmpty())
            done(RecordActions::ask([&](RecordSession& s) { return s.users().setEnabled(name, false); }), QStringLiteral("停用用户"), name);
    });
    connect(ui->pushButton_Enable, &QPushButton::clicked, this, [this] {
        const QString name = selected();
        if (!name.isEmpty())
            done(RecordActions::ask([&](RecordSession& s) { return s.users().setEnabled(name, true); }), QStringLiteral("启用用户"), name);
    });
    connect(ui->pushButton_Close, &QPushButton::clicked, this, &QDialog::accept);
    fill();
}

UsersDialog::~UsersDialog()
{
    delete ui;
}

void UsersDialog::fill()
{
    const QVector<UserAccount> accounts = RecordActions::ask([](RecordSession& s) { return s.users().list(); });
    ui->tableWidget_Users->setRowCount(accounts.size());
    for (int r = 0; r < accounts.size(); ++r) {
        const UserAccount& a = accounts[r];
        const QString state = !a.enabled ? QStringLiteral("已停用")
                              : a.failed >= UserDirectory::MaxFailedLogins ? QStringLiteral("已锁定")
                                                                            : QStringLiteral("启用");
        const QStringList cells = {a.name, a.fullName, Roles::name(a.role), state};
        for (int c = 0; c < cells.size(); ++c)
            ui->tableWidget_Users->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
}

QString UsersDialog::selected() const
{
    const QTableWidgetItem* item = ui->tableWidget_Users->item(ui->tableWidget_Users->currentRow(), 0);
    if (!item)
        ui->label_Fault->setText(QStringLiteral("请先在列表中选择用户"));
    return item ? item->text() : QString();
}

QString UsersDialog::typedPassword()
{
    const QString password = ui->lineEdit_Password->text();
    if (password != ui->lineEdit_Repeat->text()) {
        ui->label_Fault->setText(QStringLiteral("两次输入的密码不同"));
        return QString();
    }
    if (password.isEmpty())
        ui->label_Fault->setText(QStringLiteral("请输入密码"));
    return password;
}

void UsersDialog::done(const QString& fault, const QString& action, const QString& name, const QString& value)
{
    ui->label_Fault->setText(fault);
    if (!fault.isEmpty())
        return;
    RecordActions::record(action, QStringLiteral("user"), name, QString(), value);
    for (QLineEdit* edit : {ui->lineEdit_Name, ui->lineEdit_FullName, ui->lineEdit_Password, ui->lineEdit_Repeat})
        edit->clear();
    fill();
}
