#pragma once

#include "analysis/ControlTrend.h"

#include <QChartView>

// A control's Ct run after run against its mean and ±1, 2 and 3 SD; the runs that break a
// Westgard rule red, each named with its rules when the pointer rests on it.
class LeveyJenningsChart : public QtCharts::QChartView
{
    Q_OBJECT
public:
    explicit LeveyJenningsChart(QWidget* parent = nullptr);

    void setTrend(const ControlTrend& trend, const QString& title);
};
