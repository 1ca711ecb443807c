#pragma once

#include <QString>

namespace QtCharts {
class QValueAxis;
}

// Ticks at round values (1, 2 or 5 times a power of ten) whatever range an axis takes.
namespace AxisTicks {

// Keeps the axis's ticks round from now on; labels in format, or as whole numbers where the ticks
// allow it when format is empty. Whole-number labels ("%d") always get whole steps.
void keepRound(QtCharts::QValueAxis* axis, int ticks, const QString& format = QString());

}
