#pragma once

#include "ui/results/QuantChartView.h"

// The standard curves: Ct against log10(quantity), each curve's standards as filled points (those
// left out hollow), its fitted line with the equation, E and R² in the legend, and the unknowns
// placed on the line at their quantity.
class StandardCurveChart : public QuantChartView
{
    Q_OBJECT
public:
    explicit StandardCurveChart(QWidget* parent = nullptr);

protected:
    void draw(const QuantResult& q) override;
};
