#include "app/AxisSteps.h"

#include <cmath>

namespace AxisSteps {

double niceStep(double span, int ticks)
{
    if (!(span > 0) || ticks <= 0 || !std::isfinite(span))
        return 1;
    const double raw = span / ticks;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double norm = raw / magnitude;
    return (norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 5 ? 5 : 10) * magnitude;
}

}
