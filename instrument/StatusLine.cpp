#include "instrument/StatusLine.h"

#include "app/UI.h"
#include "app/ZTo.h"

namespace {
QString line(const SMethod& m, double up, double down, int cycle, int meltStep, int residue, double progress)
{
    const QString u = QString::number(up, 'f', 2);
    const QString d = QString::number(down, 'f', 2);
    const QString left = ZTo::secondToTimeString(residue);
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

QString statusLine(const SMethod& method, const ConnectData& data)
{
    const double progress = data.totalCount > 0 ? (1 - double(data.residueCount) / data.totalCount) * 100 : 0.0;
    return line(method, data.upTemp, data.downTemp, data.cycle, data.meltStep, data.residueCount, progress);
}

QString initialStatusLine(const SMethod& method)
{
    if (!method.hasCycleStep() && !method.hasMeltStep())
        return QString();
    return line(method, 0, 0, 0, 0, method.getAllRunCmd().size(), 0);
}
