#include "analysis/PlateThreshold.h"

#include "analysis/CurveWindow.h"

#include <algorithm>
#include <cmath>

namespace PlateThreshold {

double of(const QVector<Curve>& corrected, const QVector<TargetInfo>& windows, const QVector<bool>& rising)
{
    QVector<double> squares, dof, noise;
    QVector<double> plateaus;
    for (int i = 0; i < corrected.size() && i < windows.size(); ++i) {
        // A curve with a reading that is no number has no noise or plateau to give.
        if (!CurveWindow::allFinite(corrected[i]))
            continue;
        // After the correction the window holds the residuals around its own line, which took
        // two degrees of freedom.
        const QVector<double> residuals = CurveWindow::values(corrected[i], windows[i].Start, windows[i].End);
        if (residuals.size() > 2) {
            double sum = 0;
            for (double v : residuals)
                sum += v * v;
            squares.append(sum);
            dof.append(residuals.size() - 2);
            noise.append(std::sqrt(sum / dof.last()));
        }
        if (rising.value(i))
            plateaus.append(CurveWindow::tailMean(corrected[i], 6));
    }
    // Pooled over the windows that are flat: one that holds part of a rise (or a settling start)
    // must not lift the floor of every curve of the channel.
    const double typical = CurveWindow::median(noise);
    double pooled = 0;
    int count = 0;
    for (int i = 0; i < noise.size(); ++i)
        if (noise[i] <= FlatShare * typical) {
            pooled += squares[i];
            count += int(dof[i]);
        }
    if (count < 1)
        return 4.0;
    const double floor = NoiseFloor * std::sqrt(pooled / count);
    QVector<double> clear;
    for (double p : plateaus)
        if (p >= ClearPositive / NoiseFloor * floor)
            clear.append(p);
    if (clear.isEmpty())
        return floor;
    const double weakest = *std::min_element(clear.cbegin(), clear.cend());
    return qMax(floor, qMin(PlateauShare * CurveWindow::median(clear), weakest / 2));
}

}
