// Melt curve, melt peak curve and Tm of one curve index.
#include "files/OutData.h"

Curve OutData::getOriginMeltLine(int index) const
{
    const Curve raw = pdLines.value(index);
    const int cycles = cyclePoints(raw);
    if (raw.size() <= cycles)
        return Curve();
    // Labelled with the temperatures the run list played, which start at a whole degree.
    double t = inData.method.firstMeltReadingTemp();
    Curve melt = raw.mid(cycles);
    for (QPointF& p : melt) {
        p.setX(t);
        t += 0.5;
    }
    return melt;
}

Curve OutData::getNewMeltLine(int index) const
{
    const Curve s = cubicInterpolation(getOriginMeltLine(index));
    Curve peak;
    if (s.size() > 1)
        peak.reserve(s.size() - 1);
    // -dF/dT placed at the lower temperature of each pair, in units per degree.
    for (int i = 0; i + 1 < s.size(); ++i)
        peak.append(QPointF(s[i].x() / 100, s[i].y() - s[i + 1].y()) / 0.01);
    return peak;
}

QPointF OutData::getTmPointF(int, const Curve& curve) const
{
    // Samples are 0.01 degC apart: 80 are 0.8 degC of margin, 50 the flanks' 0.5 degC.
    const int n = curve.size();
    if (n < 240)
        return QPointF(0, 0);
    int p = 80;
    for (int i = 80; i < n - 80; ++i)
        if (curve[i].y() > curve[p].y())
            p = i;
    for (int i = p - 50; i < p; ++i)
        if (curve[i].y() > curve[i + 1].y())
            return QPointF(0, 0);
    for (int i = p; i < p + 50; ++i)
        if (curve[i + 1].y() > curve[i].y())
            return QPointF(0, 0);
    if (curve[p].y() < 100)
        return QPointF(0, 0);
    return curve[p];
}
