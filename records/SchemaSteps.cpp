#include "records/SchemaSteps.h"

#include "records/RecordStore.h"

#include <QSqlQuery>
#include <QStringList>
#include <QUuid>
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

// Signatures point at their entries in the trail, entries name the experiment's own id, and the
// database takes entries only in order: no number reused (SQLite's INSERT OR REPLACE), none
// skipped, and on a server none with another time than the server's. A signature's row may only
// follow a rename or be voided once.
const QStringList VersionTwoColumns = {
    "ALTER TABLE audit ADD COLUMN object_id TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE audit ADD COLUMN done_at TEXT NOT NULL DEFAULT ''",
    "CREATE INDEX audit_object_id ON audit (object_id)",
    "CREATE INDEX audit_action ON audit (action)",
    "ALTER TABLE signatures ADD COLUMN experiment_id TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE signatures ADD COLUMN entry BIGINT NOT NULL DEFAULT 0",
    "ALTER TABLE signatures ADD COLUMN void_entry BIGINT NOT NULL DEFAULT 0",
};

QStringList versionTwoGuards(bool postgres)
{
    QStringList statements;
    if (postgres) {
        statements << "CREATE FUNCTION audit_in_order() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                      "IF NEW.id IS DISTINCT FROM (SELECT COALESCE(MAX(id), 0) + 1 FROM audit) THEN "
                      "RAISE EXCEPTION 'audit entries are numbered in order'; END IF; "
                      "IF NEW.at IS DISTINCT FROM to_char(transaction_timestamp() AT TIME ZONE 'UTC', "
                      "'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"') THEN "
                      "RAISE EXCEPTION 'audit entries take the server''s time'; END IF; RETURN NEW; END $$"
                   << "CREATE TRIGGER audit_in_order BEFORE INSERT ON audit FOR EACH ROW EXECUTE FUNCTION audit_in_order()"
                   << "CREATE TRIGGER audit_no_truncate BEFORE TRUNCATE ON audit FOR EACH STATEMENT EXECUTE FUNCTION audit_append_only()"
                   << "CREATE FUNCTION signatures_fixed() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                      "IF TG_OP <> 'UPDATE' OR NEW.id <> OLD.id OR NEW.experiment_id <> OLD.experiment_id "
                      "OR NEW.user_name <> OLD.user_name OR NEW.full_name <> OLD.full_name OR NEW.meaning <> OLD.meaning "
                      "OR NEW.at <> OLD.at OR NEW.file_hash <> OLD.file_hash OR NEW.entry <> OLD.entry "
                      "OR (OLD.voided <> '' AND (NEW.voided <> OLD.voided OR NEW.void_entry <> OLD.void_entry)) THEN "
                      "RAISE EXCEPTION 'signatures are kept as signed'; END IF; RETURN NEW; END $$"
                   << "CREATE TRIGGER signatures_fixed BEFORE UPDATE OR DELETE ON signatures FOR EACH ROW EXECUTE FUNCTION signatures_fixed()"
                   << "CREATE TRIGGER signatures_no_truncate BEFORE TRUNCATE ON signatures FOR EACH STATEMENT "
                      "EXECUTE FUNCTION signatures_fixed()";
    } else {
        statements << "CREATE TRIGGER audit_in_order BEFORE INSERT ON audit "
                      "WHEN NEW.id IS NOT COALESCE((SELECT MAX(id) FROM audit), 0) + 1 "
                      "BEGIN SELECT RAISE(ABORT, 'audit entries are numbered in order'); END"
                   << "CREATE TRIGGER signatures_no_delete BEFORE DELETE ON signatures "
                      "BEGIN SELECT RAISE(ABORT, 'signatures are kept as signed'); END"
                   << "CREATE TRIGGER signatures_fixed BEFORE UPDATE OF id, experiment_id, user_name, full_name, meaning, "
                      "at, file_hash, entry ON signatures BEGIN SELECT RAISE(ABORT, 'signatures are kept as signed'); END"
                   << "CREATE TRIGGER signatures_void_once BEFORE UPDATE OF voided, void_entry ON signatures "
                      "WHEN OLD.voided <> '' BEGIN SELECT RAISE(ABORT, 'signatures are kept as signed'); END";
    }
    return statements;
}

// Signatures made before they pointed at their entries find them: the signature entry of the
// same experiment and file, and the unlock that voided them.
bool linkOldSignatures(RecordStore& store)
{
    return store.exec("UPDATE signatures SET entry = COALESCE((SELECT MIN(a.id) FROM audit a WHERE a.action = '签名' "
                      "AND a.object_name = signatures.experiment AND a.user_name = signatures.user_name "
                      "AND a.new_value = signatures.meaning || ' SHA-256 ' || signatures.file_hash), 0)")
        && store.exec("UPDATE signatures SET void_entry = COALESCE((SELECT MIN(a.id) FROM audit a WHERE a.action = '解锁' "
                      "AND a.object_name = signatures.experiment AND a.reason = signatures.voided "
                      "AND a.id > signatures.entry), 0) WHERE voided <> ''");
}

// The index of results: what trends and searches read instead of every experiment file.
const QStringList VersionThree = {
    "CREATE TABLE result_index (experiment TEXT NOT NULL, run_time TEXT NOT NULL, made_by TEXT NOT NULL, "
    "sample TEXT NOT NULL, sample_type TEXT NOT NULL, target TEXT NOT NULL, ct DOUBLE PRECISION, "
    "outcome TEXT NOT NULL, quantity DOUBLE PRECISION, unit TEXT NOT NULL)",
    "CREATE INDEX result_index_experiment ON result_index (experiment)",
    "CREATE INDEX result_index_sample ON result_index (sample, target)",
    "CREATE INDEX result_index_time ON result_index (run_time)",
};

// A signature row is never replaced: SQLite's INSERT OR REPLACE removes the row it replaces
// without its delete guard, which would bring a voided signature back.
const QStringList VersionFour = {
    "CREATE TRIGGER signatures_in_order BEFORE INSERT ON signatures "
    "WHEN NEW.id IS NOT COALESCE((SELECT MAX(id) FROM signatures), 0) + 1 "
    "BEGIN SELECT RAISE(ABORT, 'signatures are numbered in order'); END",
};

bool runAll(RecordStore& store, const QStringList& statements)
{
    for (const QString& statement : statements)
        if (!store.exec(statement))
            return false;
    return true;
}

}

namespace SchemaSteps {

bool run(RecordStore& store, int version)
{
    const bool postgres = store.isPostgres();
    if (version == 1)
        return runAll(store, versionOne(postgres));
    if (version == 3)
        return runAll(store, VersionThree);
    // A server's replace is an update, which its guard refuses already.
    if (version == 4)
        return postgres || runAll(store, VersionFour);
    // The store's own id, printed with every signature: a report from another store shows it.
    return runAll(store, VersionTwoColumns) && linkOldSignatures(store) && runAll(store, versionTwoGuards(postgres))
        && store.insert("store_settings", {"key", "value"}, {"store_id", QUuid::createUuid().toString(QUuid::WithoutBraces)});
}

}
