#include "records/Roles.h"

namespace Roles {

QString code(Role role)
{
    switch (role) {
    case Role::Administrator: return QStringLiteral("admin");
    case Role::Reviewer: return QStringLiteral("reviewer");
    case Role::Operator: break;
    }
    return QStringLiteral("operator");
}

QStringList codes()
{
    return {code(Role::Administrator), code(Role::Reviewer), code(Role::Operator)};
}

bool fromCode(const QString& text, Role& role)
{
    for (Role r : {Role::Administrator, Role::Reviewer, Role::Operator}) {
        if (text == code(r)) {
            role = r;
            return true;
        }
    }
    return false;
}

QString name(Role role)
{
    switch (role) {
    case Role::Administrator: return QStringLiteral("管理员");
    case Role::Reviewer: return QStringLiteral("审核员");
    case Role::Operator: break;
    }
    return QStringLiteral("操作员");
}

bool allows(Role role, Permission permission)
{
    switch (role) {
    case Role::Administrator:
        return true;
    case Role::Reviewer:
        return permission == Permission::RunTests || permission == Permission::ChangeResults
               || permission == Permission::RenameRecords || permission == Permission::DeleteRecords
               || permission == Permission::Sign;
    case Role::Operator:
        break;
    }
    return permission == Permission::RunTests || permission == Permission::ChangeResults
           || permission == Permission::RenameRecords;
}

QString describe(Permission permission)
{
    switch (permission) {
    case Permission::ManageUsers: return QStringLiteral("管理用户");
    case Permission::ChangeSettings: return QStringLiteral("修改设置");
    case Permission::EditMethods: return QStringLiteral("修改方法文件");
    case Permission::RunTests: return QStringLiteral("运行检测");
    case Permission::ChangeResults: return QStringLiteral("修改实验结果");
    case Permission::RenameRecords: return QStringLiteral("重命名实验");
    case Permission::DeleteRecords: return QStringLiteral("删除实验");
    case Permission::Sign: return QStringLiteral("签名");
    case Permission::Unlock: break;
    }
    return QStringLiteral("解锁已签名的实验");
}

}
