#include "analysis/StandardCurve.h"

#include <gsl/gsl_cdf.h>

#include <algorithm>
#include <cmath>
#include <limits>

double StandardCurve::efficiencyOf(double slope)
{
    // A rising or flat line amplifies nothing that a dilution would show.
    return slope < 0 ? std::pow(10.0, -1.0 / slope) - 1 : std::numeric_limits<double>::infinity();
}

double StandardCurve::quantityOf(double ct) const
{
    return usable() ? std::pow(10.0, (ct - intercept) / slope) : 0;
}

QString StandardCurve::fault() const
{
    if (!refusal.isEmpty())
        return refusal;
    if (levels < LeastLevels)
        return QStringLiteral("无法拟合：标准品只有%1个浓度有Ct（至少%2个）").arg(levels).arg(LeastLevels);
    if (!(slope < 0))
        return QStringLiteral("无法拟合：Ct不随浓度下降");
    if (!std::isfinite(efficiency))
        return QStringLiteral("无法拟合：Ct几乎不随浓度变化（斜率%1）").arg(slope, 0, 'g', 3);
    return QString();
}

QStringList StandardCurve::warnings() const
{
    QStringList out;
    if (!usable())
        return out;
    if (!efficiencyAccepted()) {
        // One decimal, unless it would read as the very limit it falls short of.
        const auto tenth = [](double fraction) { return QString::number(100 * fraction, 'f', 1); };
        const bool atLimit = tenth(efficiency) == tenth(acceptance.efficiencyLow) || tenth(efficiency) == tenth(acceptance.efficiencyHigh);
        out << QStringLiteral("效率%1%超出%2").arg(100 * efficiency, 0, 'f', atLimit ? 2 : 1).arg(acceptanceText().section(QStringLiteral("，"), 0, 0));
    }
    if (!r2Accepted())
        out << QStringLiteral("R² %1低于%2").arg(r2, 0, 'f', 4).arg(acceptance.r2Low);
    return out;
}

QString StandardCurve::quality() const
{
    if (!fault().isEmpty())
        return fault();
    return warnings().isEmpty() ? QStringLiteral("合格（%1）").arg(acceptanceText()) : QStringLiteral("⚠ ") + warnings().join(QStringLiteral("，"));
}

QString StandardCurve::acceptanceText() const
{
    return QStringLiteral("%1–%2%，R² ≥ %3").arg(100 * acceptance.efficiencyLow).arg(100 * acceptance.efficiencyHigh).arg(acceptance.r2Low);
}

QString StandardCurve::equation() const
{
    if (!usable())
        return fault();
    const QString mark = QStringLiteral(" ⚠");
    return QStringLiteral("y = %1x + %2，E = %3 %%4，R² = %5%6")
        .arg(slope, 0, 'f', 3)
        .arg(intercept, 0, 'f', 2)
        .arg(100 * efficiency, 0, 'f', 1)
        .arg(efficiencyAccepted() ? QString() : mark)
        .arg(r2, 0, 'f', 4)
        .arg(r2Accepted() ? QString() : mark);
}

StandardCurve StandardCurve::fit(const QVector<QPointF>& points)
{
    StandardCurve c;
    const int n = points.size();
    c.points = n;
    QVector<double> quantities;
    for (const QPointF& p : points)
        if (!quantities.contains(p.x()))
            quantities << p.x();
    c.levels = quantities.size();
    // Two quantities leave no degree of freedom for the line's error: no curve, not a perfect one.
    if (c.levels < LeastLevels)
        return c;
    double mx = 0, my = 0;
    for (const QPointF& p : points) {
        mx += p.x();
        my += p.y();
    }
    mx /= n;
    my /= n;
    double sxx = 0, sxy = 0, syy = 0;
    for (const QPointF& p : points) {
        sxx += (p.x() - mx) * (p.x() - mx);
        sxy += (p.x() - mx) * (p.y() - my);
        syy += (p.y() - my) * (p.y() - my);
    }
    c.slope = sxy / sxx;
    c.intercept = my - c.slope * mx;
    const double residual = std::max(0.0, syy - c.slope * sxy);
    c.r2 = syy > 0 ? 1 - residual / syy : 1;
    c.efficiency = efficiencyOf(c.slope);
    c.slopeSe = std::sqrt(residual / (n - 2) / sxx);
    const double t = gsl_cdf_tdist_Pinv(0.975, n - 2);
    // E grows as the slope rises towards 0: the slope's lower bound gives E's lower bound.
    c.efficiencyLow = efficiencyOf(c.slope - t * c.slopeSe);
    c.efficiencyHigh = efficiencyOf(c.slope + t * c.slopeSe);
    const auto [lowX, highX] = std::minmax_element(points.cbegin(), points.cend(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    const auto [lowY, highY] = std::minmax_element(points.cbegin(), points.cend(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    c.lowestLog = lowX->x();
    c.highestLog = highX->x();
    c.lowestCt = lowY->y();
    c.highestCt = highY->y();
    return c;
}
