#pragma once

#include "records/RecordStore.h"

#include <QtTest>

// A PostgreSQL server the test may empty: CI starts a throwaway one and names it in
// TAMARIN_TEST_PG_URL; empty when there is none.
inline QString serverUrl()
{
    return qEnvironmentVariable("TAMARIN_TEST_PG_URL");
}

// The server's store tables and guards dropped, so that the next open makes them anew.
inline void emptyServer(const QString& url)
{
    RecordStore store(url);
    QVERIFY2(store.open(), qPrintable(store.fault()));
    for (const char* statement : {"DROP TABLE IF EXISTS audit, users, signatures, experiments, result_index, store_settings, schema_version CASCADE",
                                  "DROP FUNCTION IF EXISTS audit_append_only(), audit_in_order(), signatures_fixed() CASCADE"})
        QVERIFY2(store.exec(statement), qPrintable(store.fault()));
}
