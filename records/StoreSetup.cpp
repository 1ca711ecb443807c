#include "records/StoreSetup.h"

#include "records/RecordStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

// The statement with its names and texts quoted by the server itself, then run; empty on
// success, otherwise the server's reason.
QString execFormatted(RecordStore& store, const QString& format, const QStringList& arguments)
{
    QSqlQuery query(store.db());
    const QString marks = QStringLiteral(", ?::text").repeated(arguments.size());
    query.prepare(QStringLiteral("SELECT format(?::text%1)").arg(marks));
    query.addBindValue(format);
    for (const QString& a : arguments)
        query.addBindValue(a);
    if (!query.exec() || !query.next())
        return query.lastError().text();
    return store.exec(query.value(0).toString()) ? QString() : store.fault();
}

}

namespace StoreSetup {

QString grantProgramRole(RecordStore& owner, const QString& role, const QString& password)
{
    if (!owner.isPostgres())
        return QStringLiteral("db setup is for a PostgreSQL store");
    if (role.isEmpty() || password.size() < 8)
        return QStringLiteral("give --app-role NAME and a password of at least 8 characters");
    QSqlQuery exists(owner.db());
    exists.prepare("SELECT 1 FROM pg_roles WHERE rolname = ?");
    exists.addBindValue(role);
    if (!exists.exec())
        return owner.db().lastError().text();
    const bool known = exists.next();
    exists.finish();
    const QString made = known ? "ALTER ROLE %I LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE PASSWORD %L"
                               : "CREATE ROLE %I LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE PASSWORD %L";
    const QStringList grants = {
        "REVOKE ALL ON ALL TABLES IN SCHEMA public FROM %I",
        "REVOKE CREATE ON SCHEMA public FROM PUBLIC",
        "REVOKE CREATE ON SCHEMA public FROM %I",
        "GRANT USAGE ON SCHEMA public TO %I",
        "GRANT SELECT ON schema_version TO %I",
        "GRANT SELECT, INSERT ON audit, store_settings TO %I",
        "GRANT SELECT, INSERT, UPDATE (experiment, voided, void_entry) ON signatures TO %I",
        "GRANT SELECT, INSERT, UPDATE ON users TO %I",
        "GRANT SELECT, INSERT, UPDATE, DELETE ON experiments TO %I",
        "GRANT SELECT, INSERT, DELETE ON result_index TO %I",
    };
    QString fault = execFormatted(owner, made, {role, password});
    for (int i = 0; i < grants.size() && fault.isEmpty(); ++i)
        fault = execFormatted(owner, grants[i], grants[i].contains("%I") ? QStringList{role} : QStringList{});
    return fault;
}

}
