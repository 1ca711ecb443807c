#include "records/StoreSchema.h"

#include "records/RecordStore.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

// Types both databases take alike; identifiers are numbered by the writer, inside its lock, so
// that the number is part of what an audit entry's hash covers.
QStringList versionOne(bool postgres)
{
    QStringList statements = {
        "CREATE TABLE store_settings (key TEXT PRIMARY KEY, value TEXT NOT NULL)",
        "CREATE TABLE users (name TEXT PRIMARY KEY, full_name TEXT NOT NULL, role TEXT NOT NULL, "
        "pw_hash TEXT NOT NULL, enabled INTEGER NOT NULL, failed INTEGER NOT NULL, created TEXT NOT NULL)",
        "CREATE TABLE audit (id BIGINT PRIMARY KEY, at TEXT NOT NULL, user_name TEXT NOT NULL, "
        "machine TEXT NOT NULL, action TEXT NOT NULL, object_type TEXT NOT NULL, object_name TEXT NOT NULL, "
        "old_value TEXT NOT NULL, new_value TEXT NOT NULL, reason TEXT NOT NULL, prev_hash TEXT NOT NULL, "
        "hash TEXT NOT NULL)",
        "CREATE INDEX audit_object ON audit (object_type, object_name)",
        "CREATE TABLE signatures (id BIGINT PRIMARY KEY, experiment TEXT NOT NULL, user_name TEXT NOT NULL, "
        "full_name TEXT NOT NULL, meaning TEXT NOT NULL, at TEXT NOT NULL, file_hash TEXT NOT NULL, "
        "voided TEXT NOT NULL)",
        "CREATE INDEX signatures_experiment ON signatures (experiment)",
        "CREATE TABLE experiments (name TEXT PRIMARY KEY, path TEXT NOT NULL, file_hash TEXT NOT NULL, "
        "saved TEXT NOT NULL)",
    };
    // The trail refuses changes at the database too: changing it takes dropping these first,
    // which is no quiet change, and the hash chain still shows what was changed.
    if (postgres) {
        statements << "CREATE FUNCTION audit_append_only() RETURNS trigger LANGUAGE plpgsql AS "
                      "$$ BEGIN RAISE EXCEPTION 'the audit trail is append-only'; END $$"
                   << "CREATE TRIGGER audit_append_only BEFORE UPDATE OR DELETE ON audit "
                      "FOR EACH ROW EXECUTE FUNCTION audit_append_only()";
    } else {
        statements << "CREATE TRIGGER audit_no_update BEFORE UPDATE ON audit "
                      "BEGIN SELECT RAISE(ABORT, 'the audit trail is append-only'); END"
                   << "CREATE TRIGGER audit_no_delete BEFORE DELETE ON audit "
                      "BEGIN SELECT RAISE(ABORT, 'the audit trail is append-only'); END";
    }
    return statements;
}

// The index of results: what trends and searches read instead of every experiment file.
QStringList versionTwo()
{
    return {"CREATE TABLE result_index (experiment TEXT NOT NULL, run_time TEXT NOT NULL, made_by TEXT NOT NULL, "
            "sample TEXT NOT NULL, sample_type TEXT NOT NULL, target TEXT NOT NULL, ct DOUBLE PRECISION, "
            "outcome TEXT NOT NULL, quantity DOUBLE PRECISION, unit TEXT NOT NULL)",
            "CREATE INDEX result_index_experiment ON result_index (experiment)",
            "CREATE INDEX result_index_sample ON result_index (sample, target)",
            "CREATE INDEX result_index_time ON result_index (run_time)"};
}

}

namespace StoreSchema {

int version(RecordStore& store)
{
    QSqlQuery query(store.db());
    if (!query.exec("SELECT MAX(version) FROM schema_version") || !query.next())
        return 0;
    return query.value(0).toInt();
}

bool migrate(RecordStore& store)
{
    if (!store.exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"))
        return false;
    if (version(store) >= Version)
        return true;
    return store.writeExclusively("schema_version", [&store] {
        // Read again under the lock: another program may have migrated meanwhile.
        const int from = version(store);
        QStringList statements;
        if (from < 1)
            statements << versionOne(store.isPostgres());
        if (from < 2)
            statements << versionTwo();
        for (const QString& statement : statements)
            if (!store.exec(statement))
                return false;
        return from >= Version || store.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(Version));
    });
}

}
