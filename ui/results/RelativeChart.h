#pragma once

#include <QChartView>

struct QuantResult;

// Fold changes against the calibrator as bars, one per sample and target, each with its low to
// high range as an error bar.
class RelativeChart : public QtCharts::QChartView
{
    Q_OBJECT
public:
    explicit RelativeChart(QWidget* parent = nullptr);

    void setResult(const QuantResult& q);
};
