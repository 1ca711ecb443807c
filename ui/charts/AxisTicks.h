#pragma once

#include <QString>

namespace QtCharts {
class QChart;
class QValueAxis;
}

// Ticks at round values (1, 2 or 5 times a power of ten) whatever range an axis takes.
namespace AxisTicks {

// Pixels between ticks below which labels no longer fit.
constexpr int MinVerticalSpacing = 26;
constexpr int MinHorizontalSpacing = 45;

// Keeps the axis's ticks round from now on, at most ticks of them and fewer where the chart's plot
// area is too small for their labels; labels in format, or as whole numbers where the ticks allow
// it when format is empty. Whole-number labels ("%d") always get whole steps.
void keepRound(QtCharts::QChart* chart, QtCharts::QValueAxis* axis, int ticks, const QString& format = QString());

}
