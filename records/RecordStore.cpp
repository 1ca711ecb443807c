#include "records/RecordStore.h"

#include "records/StoreSchema.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace {

QAtomicInt connections;

bool isServerUrl(const QString& location)
{
    return location.startsWith(QLatin1String("postgresql://")) || location.startsWith(QLatin1String("postgres://"));
}

}

RecordStore::RecordStore(const QString& location)
    : mLocation(location.isEmpty() ? defaultFile() : location)
    , mConnection(QStringLiteral("records-%1").arg(connections.fetchAndAddRelaxed(1)))
    , mPostgres(isServerUrl(mLocation))
{
}

RecordStore::~RecordStore()
{
    if (mDb.isValid())
        mDb.close();
    mDb = QSqlDatabase();
    QSqlDatabase::removeDatabase(mConnection);
}

QSqlDatabase RecordStore::db() const
{
    return mDb;
}

QString RecordStore::describe() const
{
    if (!mPostgres)
        return mLocation;
    return QUrl(mLocation).toString(QUrl::RemovePassword);
}

bool RecordStore::open()
{
    mDb = QSqlDatabase::addDatabase(mPostgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), mConnection);
    QSqlDatabase& db = mDb;
    if (!db.isValid()) {
        mFault = QStringLiteral("no database driver for %1").arg(describe());
        return false;
    }
    if (mPostgres) {
        const QUrl url(mLocation);
        db.setHostName(url.host());
        db.setPort(url.port(5432));
        db.setUserName(url.userName());
        db.setPassword(url.password());
        db.setDatabaseName(url.path().mid(1));
        // The window asks the store directly: a server gone quiet may cost it seconds, never
        // minutes (unanswered packets end a query after 5 s, a dead peer is found by keepalives).
        db.setConnectOptions(QStringLiteral("connect_timeout=5;tcp_user_timeout=5000;keepalives_idle=10;"
                                            "keepalives_interval=2;keepalives_count=3"));
    } else {
        // Users' hashes and the trail are no one else's to read: a new file is its owner's alone.
        if (!QFileInfo::exists(mLocation)) {
            QFile file(mLocation);
            if (file.open(QIODevice::WriteOnly))
                file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
        db.setDatabaseName(mLocation);
        // Another program may be appending; wait for it a little rather than fail, never long.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(mLockWaitMs));
    }
    if (!reconnect())
        return false;
    if (StoreSchema::migrate(*this))
        return true;
    // On a lab's server the program's role may not bring the schema up itself.
    if (mPostgres)
        mFault = QStringLiteral("the store is at schema version %1, the program needs %2: its owner runs tamarin-cli db setup (%3)")
                     .arg(StoreSchema::version(*this)).arg(StoreSchema::Version).arg(mFault);
    return false;
}

QString RecordStore::id() const
{
    QSqlQuery query(db());
    if (!query.exec("SELECT value FROM store_settings WHERE key = 'store_id'") || !query.next())
        return QString();
    return query.value(0).toString();
}

bool RecordStore::exec(const QString& statement)
{
    QSqlQuery query(db());
    if (query.exec(statement))
        return true;
    mFault = query.lastError().text();
    return false;
}

bool RecordStore::reconnect()
{
    QSqlDatabase connection = db();
    connection.close();
    if (!connection.open()) {
        mFault = connection.lastError().text();
        return false;
    }
    // The server's notices ("already exists, skipping") are no news to the person at the program;
    // another connection's table lock or a slow statement costs seconds, never a frozen program.
    return !mPostgres
        || (exec(QStringLiteral("SET client_min_messages TO WARNING")) && exec(QStringLiteral("SET lock_timeout = %1").arg(mLockWaitMs))
            && exec(QStringLiteral("SET statement_timeout = 5000")));
}

bool RecordStore::ensureConnected()
{
    return !mPostgres || exec(QStringLiteral("SELECT 1")) || reconnect();
}

bool RecordStore::insert(const QString& table, const QStringList& columns, const QVariantList& values)
{
    QSqlQuery query(db());
    const QString marks = QStringLiteral(", ?").repeated(columns.size()).mid(2);
    query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns.join(", "), marks));
    for (const QVariant& v : values)
        query.addBindValue(v.isNull() && v.type() == QVariant::String ? QVariant(QLatin1String("")) : v);
    if (query.exec())
        return true;
    mFault = query.lastError().text();
    return false;
}

bool RecordStore::writeExclusively(const QString& table, const std::function<bool()>& body)
{
    if (!ensureConnected())
        return false;
    // SQLite takes its write lock at once with IMMEDIATE, so two writers never read the same
    // last entry; on the server every program takes one lock per table name, which needs no
    // right to change the table (LOCK TABLE would).
    if (mPostgres) {
        if (!db().transaction() || !exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('tamarin.%1'))").arg(table))) {
            db().rollback();
            return false;
        }
    } else if (!exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        return false;
    }
    if (!body()) {
        if (mPostgres)
            db().rollback();
        else
            exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    if (mPostgres ? db().commit() : exec(QStringLiteral("COMMIT")))
        return true;
    mFault = db().lastError().text();
    return false;
}
