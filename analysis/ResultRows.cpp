#include "analysis/ResultRows.h"

QVector<ResultRow> resultRows(const OutData& data)
{
    const SMethod& m = data.inData.method;
    QVector<ResultRow> rows;
    if (!m.countsInRange())
        return rows;
    const QMap<int, int> numbers = m.runningNumbers();
    for (auto it = m.sampleHoleMap.cbegin(); it != m.sampleHoleMap.cend(); ++it)
        for (int hole : it.value()) {
            if (m.curveIndex(hole, 0) < 0)
                continue;
            for (int c = 0; c < m.ChannelColor; ++c)
                rows.append({it.key(), data.inData.sampleNames.value(it.key()), hole, numbers.value(hole), c, m.curveIndex(hole, c)});
        }
    return rows;
}
