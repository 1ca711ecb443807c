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

StandardCurve StandardCurve::fit(const QVector<QPointF>& points)
{
    StandardCurve c;
    const int n = points.size();
    if (n < 2)
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
    if (!(sxx > 0))
        return c; // one quantity only: no line
    c.points = n;
    c.slope = sxy / sxx;
    c.intercept = my - c.slope * mx;
    const double residual = std::max(0.0, syy - c.slope * sxy);
    c.r2 = syy > 0 ? 1 - residual / syy : 1;
    c.efficiency = efficiencyOf(c.slope);
    if (n > 2) {
        c.slopeSe = std::sqrt(residual / (n - 2) / sxx);
        const double t = gsl_cdf_tdist_Pinv(0.975, n - 2);
        // E grows as the slope rises towards 0: the slope's lower bound gives E's lower bound.
        c.efficiencyLow = efficiencyOf(c.slope - t * c.slopeSe);
        c.efficiencyHigh = efficiencyOf(c.slope + t * c.slopeSe);
    } else {
        c.efficiencyLow = c.efficiencyHigh = c.efficiency;
    }
    const auto [lowX, highX] = std::minmax_element(points.cbegin(), points.cend(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    const auto [lowY, highY] = std::minmax_element(points.cbegin(), points.cend(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    c.lowestLog = lowX->x();
    c.highestLog = highX->x();
    c.lowestCt = lowY->y();
    c.highestCt = highY->y();
    return c;
}
