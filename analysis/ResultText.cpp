#include "analysis/ResultText.h"

#include <cmath>

namespace ResultText {

QString ct(double ct)
{
    const double rounded = std::round(ct * 100) / 100;
    return rounded > 0 ? QString::number(rounded, 'f', 2) : QStringLiteral("-");
}

QString tm(double tm)
{
    // No melt peak (every negative, a stopped run) reads as "-", as a missing Ct does.
    return tm != 0 ? QString::number(tm, 'f', 2) : QStringLiteral("-");
}

QString call(bool positive, bool runComplete)
{
    if (positive)
        return QStringLiteral("阳性");
    return runComplete ? QStringLiteral("阴性") : QStringLiteral("未完成");
}

QString incompleteRun()
{
    return QStringLiteral("检测未完成");
}

QString quantity(double value)
{
    return std::isfinite(value) ? QString::number(value, 'e', 2) : QStringLiteral("-");
}

QString fold(double value, const QString& missing)
{
    if (!missing.isEmpty())
        return QStringLiteral("-（%1）").arg(missing);
    return std::isfinite(value) ? QString::number(value, 'f', 3) : QStringLiteral("-");
}

QString foldMethod(const QString& code)
{
    return code == QLatin1String("ddcq") ? QStringLiteral("ΔΔCt") : QStringLiteral("效率校正");
}

}
