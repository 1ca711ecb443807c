// The record store at a lab's scale: 10,000 experiments in the result index (six samples and
// targets each) searched as 数据管理 and tamarin-cli search do, the list of the newest, a
// control's trend; and audit verify over a million trail entries. SQLite in a scratch folder, and
// the lab's PostgreSQL when TAMARIN_TEST_PG_URL names a throwaway server (its tables are
// dropped). Run by hand: build/bench/bench_store.
#include "records/AuditTrail.h"
#include "records/RecordSession.h"
#include "tests/TestServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int Experiments = 10000;
constexpr int MillionEntries = 1000000;
const QStringList Samples = {"阳性对照", "阴性对照", "病人A", "病人B", "病人C", "标准品1"};

// The index filled directly, as 10,000 saves would have left it: one transaction, not 10,000.
void fillIndex(RecordStore& store)
{
    store.db().transaction();
    QSqlQuery insert(store.db());
    insert.prepare("INSERT INTO result_index (experiment, run_time, made_by, sample, sample_type, target, ct, outcome, quantity, unit) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const QDateTime start(QDate(2025, 1, 1), QTime(8, 0), Qt::UTC);
    for (int e = 0; e < Experiments; ++e)
        for (int s = 0; s < Samples.size(); ++s) {
            insert.addBindValue(QString("run-%1").arg(e, 5, 10, QChar('0')));
            insert.addBindValue(start.addSecs(3600 * e).toString(Qt::ISODateWithMs));
            insert.addBindValue(QString("op%1").arg(e % 7));
            insert.addBindValue(s >= 2 && s <= 4 ? QString("%1-%2").arg(Samples[s]).arg(e) : Samples[s]);
            insert.addBindValue(s == 0 ? "pos" : s == 1 ? "ntc" : "unkn");
            insert.addBindValue(s % 2 ? "ROX" : "FAM");
            insert.addBindValue(s == 1 ? QVariant(QVariant::Double) : QVariant(24.0 + (e % 13) * 0.05));
            insert.addBindValue(s == 1 ? QStringLiteral("阴性") : QStringLiteral("阳性"));
            insert.addBindValue(QVariant(QVariant::Double));
            insert.addBindValue(QString(""));
            if (!insert.exec())
                qFatal("index: %s", qPrintable(insert.lastError().text()));
        }
    store.db().commit();
}

struct Store
{
    QTemporaryDir dir;
    std::unique_ptr<RecordSession> session;

    explicit Store(const QString& location)
    {
        if (location.startsWith("postgresql"))
            emptyServer(location);
        session = std::make_unique<RecordSession>(location.isEmpty() ? dir.filePath("records.sqlite") : location);
        if (!session->open())
            qFatal("store: %s", qPrintable(session->fault()));
        fillIndex(session->store());
    }
};

Store& store(bool postgres)
{
    static std::unique_ptr<Store> sqlite, server;
    std::unique_ptr<Store>& s = postgres ? server : sqlite;
    if (!s)
        s = std::make_unique<Store>(postgres ? serverUrl() : QString());
    return *s;
}

void search(benchmark::State& state, bool postgres, ResultIndex::Query q)
{
    if (postgres && serverUrl().isEmpty())
        return state.SkipWithError("no TAMARIN_TEST_PG_URL");
    ResultIndex& index = store(postgres).session->results();
    QVector<ResultIndex::Hit> hits;
    for (auto _ : state)
        if (!index.search(q, hits))
            return state.SkipWithError(qPrintable(index.fault()));
    state.counters["hits"] = hits.size();
}

ResultIndex::Query bySample()
{
    ResultIndex::Query q;
    q.sample = "病人b-4711";
    return q;
}

ResultIndex::Query byCallAndDates()
{
    ResultIndex::Query q;
    q.call = QStringLiteral("阴性");
    q.target = "ROX";
    q.from = QDate(2025, 6, 1);
    q.to = QDate(2025, 6, 30);
    return q;
}

void trend(benchmark::State& state, bool postgres)
{
    if (postgres && serverUrl().isEmpty())
        return state.SkipWithError("no TAMARIN_TEST_PG_URL");
    ResultIndex& index = store(postgres).session->results();
    QVector<ControlTrend::Point> points;
    for (auto _ : state) {
        index.trend(QStringLiteral("阳性对照"), "FAM", points);
        benchmark::DoNotOptimize(ControlTrend::of(points));
    }
    state.counters["runs"] = points.size();
}

// A million entries chained as the program writes them, then the whole chain checked.
void verifyMillion(benchmark::State& state)
{
    QTemporaryDir dir;
    RecordSession session(dir.filePath("records.sqlite"));
    if (!session.open())
        return state.SkipWithError(qPrintable(session.fault()));
    RecordStore& store = session.store();
    store.db().transaction();
    QSqlQuery insert(store.db());
    insert.prepare("INSERT INTO audit (id, at, user_name, machine, action, object_type, object_name, old_value, new_value, reason, "
                   "prev_hash, hash, object_id, done_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '', '')");
    QString prev = AuditTrail::firstPrevHash();
    const QDateTime start(QDate(2025, 1, 1), QTime(8, 0), Qt::UTC);
    for (int i = 1; i <= MillionEntries; ++i) {
        AuditEntry e;
        e.id = i;
        e.at = start.addMSecs(qint64(i) * 1000);
        e.user = "op";
        e.machine = "lab-pc";
        e.action = QStringLiteral("修改分析设置");
        e.objectType = "experiment";
        e.objectName = QString("run-%1").arg(i / 50);
        e.oldValue = "FAM 阈值：100.00";
        e.newValue = "120.00";
        e.prevHash = prev;
        e.hash = AuditTrail::hashOf(e);
        prev = e.hash;
        for (const QVariant& v : QVariantList{e.id, e.at.toString(Qt::ISODateWithMs), e.user, e.machine, e.action, e.objectType,
                                              e.objectName, e.oldValue, e.newValue, QString(""), e.prevHash, e.hash})
            insert.addBindValue(v);
        if (!insert.exec())
            return state.SkipWithError(qPrintable(store.fault()));
    }
    store.db().commit();
    for (auto _ : state) {
        const AuditTrail::Check check = session.trail().verify();
        if (check.entries != MillionEntries || !check.why.isEmpty())
            return state.SkipWithError(qPrintable(check.why));
    }
}

}

BENCHMARK_CAPTURE(search, sample_sqlite, false, bySample())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, call_dates_sqlite, false, byCallAndDates())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, newest500_sqlite, false, ResultIndex::Query())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(trend, sqlite, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, sample_postgres, true, bySample())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, call_dates_postgres, true, byCallAndDates())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, newest500_postgres, true, ResultIndex::Query())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(trend, postgres, true)->Unit(benchmark::kMillisecond);
BENCHMARK(verifyMillion)->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
