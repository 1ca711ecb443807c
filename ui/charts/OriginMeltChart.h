#pragma once

#include "ui/charts/ZNewChart.h"

// Melt curves against temperature: every curve of the chip is shown, and hovering a reading
// names its position, hole and target in the chart's tool tip.
class OriginMeltChart : public ZNewChart
{
    Q_OBJECT
public:
    explicit OriginMeltChart(QWidget* parent = nullptr);

    void setInitChart(SMethod& method) override;
    // The step-th melt reading of a run under way, at the temperature the run list plays for it.
    void addCycleData(int step, const QVector<double>& values) override;

protected:
    void buildSeries() override;
    void showReading(int index, QPointF point, bool state) override;
};
