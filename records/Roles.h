#pragma once

#include <QString>
#include <QStringList>

// What a signed-in person may do. An administrator manages users, settings and methods and may do
// all else; a reviewer signs results; an operator runs tests and analyses them but deletes
// nothing. Nobody changes a signed record, which only an administrator's unlock reopens.
enum class Role { Administrator, Reviewer, Operator };

enum class Permission {
    ManageUsers,
    ChangeSettings, // program settings and update installs
    EditMethods,    // method files
    RunTests,
    ChangeResults,  // analysis settings, names, types, readings and method of a record
    RenameRecords,
    DeleteRecords,
    Sign,
    Unlock,
};

namespace Roles {

// "admin", "reviewer", "operator": how roles are stored and typed.
QString code(Role role);
bool fromCode(const QString& code, Role& role);
QStringList codes();
// The name a person reads: 管理员, 审核员, 操作员.
QString name(Role role);
bool allows(Role role, Permission permission);
// What is refused, as the refusal names it ("删除实验").
QString describe(Permission permission);

}
