#include "analysis/ResultRows.h"

QVector<ResultRow> resultRows(const OutData& data)
{
    const SMethod& m = data.inData.method;
    QVector<ResultRow> rows;
    for (auto it = m.sampleHoleMap.cbegin(); it != m.sampleHoleMap.cend(); ++it)
        for (int hole : it.value())
            for (int c = 0; c < m.ChannelColor; ++c)
                rows.append({it.key(), data.inData.sampleNames.value(it.key()), hole, c, (hole - 1) * m.ChannelColor + c});
    return rows;
}
