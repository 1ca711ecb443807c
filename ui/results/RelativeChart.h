#pragma once

#include "ui/results/QuantChartView.h"

// Fold changes against the calibrator as bars from 1 on a log2 axis, one per sample and target,
// each with its low to high range as an error bar; invalid samples' bars grey.
class RelativeChart : public QuantChartView
{
    Q_OBJECT
public:
    explicit RelativeChart(QWidget* parent = nullptr);

protected:
    void draw(const QuantResult& q) override;
};
