#pragma once

#include <QPointF>
#include <QVector>

// A standard curve: Ct against log10(quantity), least squares over every standard replicate that
// has a Ct. Efficiency is a fraction (0.97 for 97 %), from E = 10^(-1/slope) - 1; its 95 %
// interval follows from the slope's (Student's t with n - 2 degrees of freedom).
struct StandardCurve
{
    double slope = 0;
    double intercept = 0;
    double r2 = 0;
    double slopeSe = 0;
    double efficiency = 0;
    double efficiencyLow = 0;
    double efficiencyHigh = 0;
    int points = 0;
    double lowestLog = 0; // the standards' range, log10(quantity)
    double highestLog = 0;
    double lowestCt = 0;  // and the Ct values it spans
    double highestCt = 0;

    // At least two distinct quantities and a falling line: quantities can be read off it.
    bool usable() const { return points >= 2 && slope < 0; }
    double quantityOf(double ct) const;
    bool withinStandards(double ct) const { return ct >= lowestCt && ct <= highestCt; }

    // points: x = log10(quantity), y = Ct.
    static StandardCurve fit(const QVector<QPointF>& points);
    static double efficiencyOf(double slope);
};
