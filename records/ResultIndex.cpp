#include "records/ResultIndex.h"

#include "analysis/Quantification.h"
#include "analysis/ResultText.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "files/OutData.h"
#include "records/RecordStore.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>

namespace {

QVariant numberOrNull(double v)
{
    return std::isfinite(v) && v > 0 ? QVariant(v) : QVariant(QVariant::Double);
}

// A part of a name as a LIKE pattern: the person's % and _ are letters, not wildcards.
QString containing(const QString& text)
{
    QString escaped = text.toLower();
    escaped.replace('!', "!!").replace('%', "!%").replace('_', "!_");
    return '%' + escaped + '%';
}

QString utc(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

}

bool ResultIndex::update(const QString& experiment, const OutData& data, const QString& madeBy)
{
    const TempData results(data);
    const QVector<SampleResult> samples = SampleResults::of(data, results);
    const QuantResult quant = Quantification::of(data, results);
    const bool done = mStore.writeExclusively("result_index", [&] {
        if (!forget(experiment))
            return false;
        for (int i = 0; i < samples.size(); ++i) {
            const SampleResult& s = samples[i];
            const QuantSample q = quant.samples.value(i);
            if (!mStore.insert("result_index",
                               {"experiment", "run_time", "made_by", "sample", "sample_type", "target", "ct", "outcome", "quantity", "unit"},
                               {experiment, utc(data.runTime()), madeBy, s.name, s.type, s.target,
                                numberOrNull(s.positive > 0 ? s.meanCt : qQNaN()), s.call, numberOrNull(q.quantity), q.unit}))
                return false;
        }
        return true;
    });
    if (!done)
        mFault = mStore.fault();
    return done;
}

bool ResultIndex::forget(const QString& experiment)
{
    QSqlQuery query(mStore.db());
    query.prepare("DELETE FROM result_index WHERE experiment = ?");
    query.addBindValue(experiment);
    if (query.exec())
        return true;
    mFault = query.lastError().text();
    return false;
}

bool ResultIndex::indexedIn(const QString& folder, QStringList& experiments)
{
    QSqlQuery query(mStore.db());
    query.prepare("SELECT DISTINCT r.experiment, e.path FROM result_index r LEFT JOIN experiments e ON e.name = r.experiment");
    if (!query.exec()) {
        mFault = query.lastError().text();
        return false;
    }
    experiments.clear();
    const QString prefix = QDir(folder).absolutePath() + '/';
    while (query.next())
        // One only a rebuild indexed was never saved anywhere the store saw: it is this folder's.
        if (query.value(1).isNull() || query.value(1).toString().startsWith(prefix))
            experiments << query.value(0).toString();
    return true;
}

bool ResultIndex::search(const Query& q, QVector<Hit>& hits)
{
    QStringList where;
    QVariantList values;
    const auto match = [&](const QString& clause, const QVariant& value) {
        where << clause;
        values << value;
    };
    if (!q.sample.isEmpty())
        match("LOWER(sample) LIKE ? ESCAPE '!'", containing(q.sample));
    if (!q.target.isEmpty())
        match("target = ?", q.target);
    if (!q.call.isEmpty())
        match("outcome = ?", q.call);
    if (!q.madeBy.isEmpty())
        match("LOWER(made_by) LIKE ? ESCAPE '!'", containing(q.madeBy));
    if (q.from.isValid())
        match("run_time >= ?", utc(QDateTime(q.from, QTime(0, 0), Qt::LocalTime)));
    // The last day a date can name has no day after it: it bounds nothing.
    if (q.to.isValid() && q.to.addDays(1).isValid())
        match("run_time < ?", utc(QDateTime(q.to.addDays(1), QTime(0, 0), Qt::LocalTime)));
    const QString signedClause = "EXISTS (SELECT 1 FROM signatures s WHERE s.experiment = r.experiment AND s.voided = '')";
    if (q.signedState == 1)
        where << signedClause;
    else if (q.signedState == 0)
        where << "NOT " + signedClause;
    QSqlQuery query(mStore.db());
    query.prepare(QStringLiteral("SELECT DISTINCT experiment, run_time, made_by FROM result_index r%1 ORDER BY run_time DESC, experiment LIMIT %2")
                      .arg(where.isEmpty() ? QString() : " WHERE " + where.join(" AND "))
                      .arg(qBound(1, q.limit, 100000)));
    for (const QVariant& v : values)
        query.addBindValue(v);
    if (!query.exec()) {
        mFault = query.lastError().text();
        return false;
    }
    hits.clear();
    while (query.next())
        hits.append({query.value(0).toString(), QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs),
                     query.value(2).toString()});
    return true;
}

bool ResultIndex::trendable(QVector<QPair<QString, QString>>& pairs, int limit)
{
    QSqlQuery query(mStore.db());
    query.prepare(QStringLiteral("SELECT sample, target, MIN(CASE sample_type WHEN 'pos' THEN 0 WHEN 'unkn' THEN 2 WHEN 'std' THEN 2 ELSE 1 END) "
                                 "AS rank FROM result_index GROUP BY sample, target ORDER BY rank, sample, target LIMIT %1")
                      .arg(qBound(1, limit, 100000)));
    if (!query.exec()) {
        mFault = query.lastError().text();
        return false;
    }
    pairs.clear();
    while (query.next())
        pairs.append({query.value(0).toString(), query.value(1).toString()});
    return true;
}

bool ResultIndex::trend(const QString& sample, const QString& target, QVector<ControlTrend::Point>& points)
{
    QSqlQuery query(mStore.db());
    // A run stopped before its control could amplify says nothing of the control: its call reads
    // 未完成, and it is no point of the trend.
    // One point a run: samples of one name in a run are the control's replicates, their Cts averaged.
    query.prepare("SELECT experiment, MIN(run_time) AS t, AVG(ct) FROM result_index WHERE sample = ? AND target = ? AND outcome <> ? "
                  "GROUP BY experiment ORDER BY t, experiment");
    query.addBindValue(sample);
    query.addBindValue(target);
    query.addBindValue(ResultText::call(false, false));
    if (!query.exec()) {
        mFault = query.lastError().text();
        return false;
    }
    points.clear();
    while (query.next())
        points.append({query.value(0).toString(), QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs),
                       query.value(2).isNull() ? qQNaN() : query.value(2).toDouble()});
    return true;
}
