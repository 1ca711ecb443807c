#include "ui/charts/AxisTicks.h"

#include <QValueAxis>

#include <cmath>

namespace AxisTicks {

double niceStep(double span, int ticks)
{
    if (!(span > 0) || ticks <= 0)
        return 1;
    const double raw = span / ticks;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double norm = raw / magnitude;
    return (norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 5 ? 5 : 10) * magnitude;
}

void keepRound(QtCharts::QValueAxis* axis, int ticks, const QString& format)
{
    axis->setTickType(QtCharts::QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    const auto round = [axis, ticks, format](qreal min, qreal max) {
        // Whole-number labels need whole steps, or a short run reads "1 1 1 2 2".
        const double step = format == QLatin1String("%d") ? qMax(1.0, niceStep(max - min, ticks)) : niceStep(max - min, ticks);
        axis->setTickInterval(step);
        axis->setLabelFormat(!format.isEmpty() ? format : step >= 1 ? "%d" : "%.2f");
    };
    QObject::connect(axis, &QtCharts::QValueAxis::rangeChanged, axis, round);
    round(axis->min(), axis->max());
}

}
