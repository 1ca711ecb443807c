#include "method/ProgramCheck.h"

#include "app/UI.h"

QString programFault(const SMethod& method)
{
    const QVector<Step>& stages = method.Flow.steps;
    for (int s = 0; s < stages.size(); ++s) {
        const QVector<Node>& holds = stages[s].NodeList;
        for (int h = 0; h < holds.size(); ++h)
            if (!RecordLimits::tempInRange(holds[h].Temp))
                return UI::HoldTempError.arg(s + 1).arg(h + 1).arg(holds[h].Temp);
    }
    const qint64 readings = method.readingCount();
    if (readings > RecordLimits::MaxReadings)
        return UI::ReadingCountError.arg(readings).arg(RecordLimits::MaxReadings);
    return QString();
}
