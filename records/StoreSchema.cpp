#include "records/StoreSchema.h"

#include "records/RecordStore.h"
#include "records/SchemaSteps.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace StoreSchema {

int version(RecordStore& store)
{
    QSqlQuery query(store.db());
    if (!query.exec("SELECT MAX(version) FROM schema_version"))
        return store.isPostgres() ? -1 : 0;
    return query.next() ? query.value(0).toInt() : 0;
}

bool migrate(RecordStore& store)
{
    // A failed statement aborts a server's transaction: whether the table is there is asked
    // outside of one, and only a store without it is offered the first statement.
    if (version(store) >= Version)
        return true;
    if (!store.exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"))
        return false;
    return store.writeExclusively("schema_version", [&store] {
        // Read again under the lock: another program may have migrated meanwhile.
        const int from = version(store);
        for (int step = from + 1; step <= Version; ++step)
            if (!SchemaSteps::run(store, step))
                return false;
        return from >= Version || store.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(Version));
    });
}

}
