#include "ui/charts/AxisTicks.h"

#include "app/AxisSteps.h"

#include <QValueAxis>

namespace AxisTicks {

void keepRound(QtCharts::QValueAxis* axis, int ticks, const QString& format)
{
    axis->setTickType(QtCharts::QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    const auto round = [axis, ticks, format](qreal min, qreal max) {
        // Whole-number labels need whole steps, or a short run reads "1 1 1 2 2".
        const double step = format == QLatin1String("%d") ? qMax(1.0, AxisSteps::niceStep(max - min, ticks)) : AxisSteps::niceStep(max - min, ticks);
        axis->setTickInterval(step);
        axis->setLabelFormat(!format.isEmpty() ? format : step >= 1 ? "%d" : "%.2f");
    };
    QObject::connect(axis, &QtCharts::QValueAxis::rangeChanged, axis, round);
    round(axis->min(), axis->max());
}

}
