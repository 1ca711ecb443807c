#pragma once

#include "method/RunControls.h"

#include <QPointF>
#include <cmath>
#include <QStringList>
#include <QVector>

// A standard curve: Ct against log10(quantity), least squares over every standard replicate that
// has a Ct. Efficiency is a fraction (0.97 for 97 %), from E = 10^(-1/slope) - 1; its 95 %
// interval follows from the slope's (Student's t with n - 2 degrees of freedom). Fewer than three
// quantities give no curve: its numbers stay NaN (shown as none), never zeros, and fault() says why.
struct StandardCurve
{
    static constexpr int LeastLevels = 3;

    double slope = qQNaN();
    double intercept = qQNaN();
    double r2 = qQNaN();
    double slopeSe = qQNaN();
    double efficiency = qQNaN();
    double efficiencyLow = qQNaN();
    double efficiencyHigh = qQNaN();
    int points = 0;
    int levels = 0; // distinct quantities
    double lowestLog = 0; // the standards' range, log10(quantity)
    double highestLog = 0;
    double lowestCt = 0;  // and the Ct values it spans
    double highestCt = 0;
    // What a lab accepts of a curve whose quantities it reports: the method's, else the usual.
    CurveAcceptance acceptance;

    // Why the standards make no curve whatever their Cts (units that differ), empty otherwise.
    QString refusal;

    // At least three distinct quantities and a line that falls measurably: quantities can be read
    // off it.
    bool usable() const { return refusal.isEmpty() && levels >= LeastLevels && slope < 0 && std::isfinite(efficiency); }
    // Within the acceptance: its quantities can be reported.
    bool accepted() const { return usable() && efficiencyAccepted() && r2Accepted(); }
    // Why there is no curve ("无法拟合：..."), empty when there is one.
    QString fault() const;
    bool efficiencyAccepted() const { return efficiency >= acceptance.efficiencyLow && efficiency <= acceptance.efficiencyHigh; }
    bool r2Accepted() const { return r2 >= acceptance.r2Low; }
    // What falls short of the acceptance for efficiency and R², in words; empty when nothing does.
    QStringList warnings() const;
    // What a person reads of its quality: why there is none, what falls short ("⚠ ..."), or "合格".
    QString quality() const;
    // The line, E as a percent and R² as every report prints them, ⚠ beside a value outside the
    // acceptance: "y = -3.321x + 39.85，E = 100.1 %，R² = 0.9990". The fault where there is no line.
    // The acceptance itself reads "90–110 %，R² ≥ 0.98".
    QString equation() const;
    QString acceptanceText() const;
    double quantityOf(double ct) const;
    bool withinStandards(double ct) const { return ct >= lowestCt && ct <= highestCt; }

    // points: x = log10(quantity), y = Ct.
    static StandardCurve fit(const QVector<QPointF>& points);
    static double efficiencyOf(double slope);
};
