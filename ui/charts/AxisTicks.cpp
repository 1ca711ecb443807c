#include "ui/charts/AxisTicks.h"

#include "app/AxisSteps.h"

#include <QChart>
#include <QValueAxis>

namespace AxisTicks {

void keepRound(QtCharts::QChart* chart, QtCharts::QValueAxis* axis, int ticks, const QString& format)
{
    axis->setTickType(QtCharts::QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    const auto round = [chart, axis, ticks, format] {
        // A short chart gets fewer ticks: labels closer than their own height are drawn as "...".
        const bool vertical = axis->orientation() == Qt::Vertical;
        const qreal length = vertical ? chart->plotArea().height() : chart->plotArea().width();
        const int fit = length > 0 ? qMax(2, int(length / (vertical ? MinVerticalSpacing : MinHorizontalSpacing))) : ticks;
        const double span = axis->max() - axis->min();
        // Whole-number labels need whole steps, or a short run reads "1 1 1 2 2".
        const double step = format == QLatin1String("%d") ? qMax(1.0, AxisSteps::niceStep(span, qMin(ticks, fit)))
                                                          : AxisSteps::niceStep(span, qMin(ticks, fit));
        if (axis->tickInterval() != step)
            axis->setTickInterval(step);
        axis->setLabelFormat(!format.isEmpty() ? format : step >= 1 ? "%d" : "%.2f");
    };
    QObject::connect(axis, &QtCharts::QValueAxis::rangeChanged, axis, round);
    QObject::connect(chart, &QtCharts::QChart::plotAreaChanged, axis, round);
    round();
}

}
