#include "analysis/ResultRows.h"

QVector<ResultRow> resultRows(const OutData& data)
{
    const SMethod& m = data.inData.method;
    QVector<ResultRow> rows;
    if (!m.countsInRange())
        return rows;
    for (auto it = m.sampleHoleMap.cbegin(); it != m.sampleHoleMap.cend(); ++it)
        for (int hole : it.value())
            for (int c = 0; c < m.ChannelColor; ++c) {
                const int index = m.curveIndex(hole, c);
                if (index >= 0)
                    rows.append({it.key(), data.inData.sampleNames.value(it.key()), hole, c, index});
            }
    return rows;
}
