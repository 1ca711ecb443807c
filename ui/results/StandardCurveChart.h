#pragma once

#include <QChartView>

struct QuantResult;

// The standard curves: Ct against log10(quantity), each curve's standards as filled points (those
// left out hollow), its fitted line with the equation, E and R² in the legend, and the unknowns
// placed on the line at their quantity.
class StandardCurveChart : public QtCharts::QChartView
{
    Q_OBJECT
public:
    explicit StandardCurveChart(QWidget* parent = nullptr);

    void setResult(const QuantResult& q);
};
