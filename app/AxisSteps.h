#pragma once

// Ticks at round values (1, 2 or 5 times a power of ten), for the charts on screen and in print.
namespace AxisSteps {

// A round tick interval giving about ticks intervals over span.
double niceStep(double span, int ticks);

}
