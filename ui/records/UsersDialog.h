#pragma once

#include <QDialog>

namespace Ui {
class UsersDialog;
}

// An administrator's list of users: adds one, sets a new password (which also lifts a lock after
// failed logins), disables one or enables it again. Each change goes into the audit trail.
class UsersDialog : public QDialog
{
    Q_OBJECT
public:
    UsersDialog(QWidget* parent = nullptr);
    ~UsersDialog() override;

private:
    void fill();
    QString selected() const;
    // The typed password when both fields agree; empty (with the fault shown) otherwise.
    QString typedPassword();
    void done(const QString& fault, const QString& action, const QString& name, const QString& value = QString());

    Ui::UsersDialog* ui;
};
