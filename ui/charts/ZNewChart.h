#pragma once

#include "ui/charts/ZOriginChart.h"

// Baseline-corrected fluorescence ("ΔRn"): filled from results only, never live.
class ZNewChart : public ZOriginChart
{
    Q_OBJECT
public:
    explicit ZNewChart(QWidget* parent = nullptr);

    void addCycleData(int, const QVector<double>&) override {}
};
