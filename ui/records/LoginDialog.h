#pragma once

#include <QDialog>

namespace Ui {
class LoginDialog;
}

// Asks who works: at start-up, where "退出程序" ends the program, and when the program locked
// itself after an idle time, where only a login opens it again. Runs go on underneath.
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Start, Locked };
    LoginDialog(Mode mode, QWidget* parent = nullptr);
    ~LoginDialog() override;

    void reject() override;
    // The name a locked program proposes: who worked before.
    void setUser(const QString& name);

private:
    void tryLogin();

    Ui::LoginDialog* ui;
    Mode mMode;
};
