#pragma once

#include "analysis/Quantification.h"

#include <QChartView>

// A chart of quantification results that draws them when it is first shown after they change,
// so that opening a page does not build charts of a view nobody looks at.
class QuantChartView : public QtCharts::QChartView
{
    Q_OBJECT
public:
    explicit QuantChartView(QWidget* parent = nullptr);

    void setResult(const QuantResult& q);

protected:
    void showEvent(QShowEvent* event) override;
    // Onto an empty chart: no series, no axes.
    virtual void draw(const QuantResult& q) = 0;

private:
    void redraw();

    QuantResult mResult;
    bool mDrawn = true;
};
