#include "instrument/StatusLine.h"

#include "app/UI.h"
#include "app/ZTo.h"

namespace {
QString line(const SMethod& m, double up, double down, int cycle, int meltStep, int seconds, double progress)
{
    // A heater that was not read reports -1: a dash, never a measured-looking temperature.
    const auto celsius = [](double t) { return t < 0 ? QStringLiteral("-") : QString::number(t, 'f', 2) + QStringLiteral("℃"); };
    const QString u = celsius(up);
    const QString d = celsius(down);
    const QString left = ZTo::secondToTimeString(seconds);
    const QString p = QString::number(progress, 'f', 2);
    const bool cycles = m.hasCycleStep();
    const bool melt = m.hasMeltStep();
    if (cycles && melt)
        return UI::TestInfoHasCycleMelt.arg(u, d).arg(cycle).arg(m.Flow.getCycle()).arg(meltStep).arg(m.stepNumber()).arg(left, p);
    if (cycles)
        return UI::TestInfoHasCycle.arg(u, d).arg(cycle).arg(m.Flow.getCycle()).arg(left, p);
    if (melt)
        return UI::TestInfoHasMelt.arg(u, d).arg(meltStep).arg(m.stepNumber()).arg(left, p);
    return UI::TestInfo.arg(u, d, left, p);
}
}

int runSeconds(qint64 steps, int stepMs)
{
    return int((qMax<qint64>(steps, 0) * qMax(stepMs, 1) + 999) / 1000);
}

QString statusLine(const SMethod& method, const ConnectData& data, int stepMs)
{
    const double progress = data.totalCount > 0 ? (1 - double(data.residueCount) / data.totalCount) * 100 : 0.0;
    return line(method, data.upTemp, data.downTemp, data.cycle, data.meltStep, runSeconds(data.residueCount, stepMs), progress);
}

QString initialStatusLine(const SMethod& method, int stepMs)
{
    if (!method.hasCycleStep() && !method.hasMeltStep())
        return QString();
    return line(method, -1, -1, 0, 0, runSeconds(method.getAllRunCmd().size(), stepMs), 0);
}
