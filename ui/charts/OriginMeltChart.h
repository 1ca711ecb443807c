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

protected:
    void buildSeries() override;
    void showReading(int index, QPointF point, bool state) override;
};
