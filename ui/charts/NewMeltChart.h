#pragma once

#include "ui/charts/OriginMeltChart.h"

// Melt peak curves (-dF/dT against temperature).
class NewMeltChart : public OriginMeltChart
{
    Q_OBJECT
public:
    explicit NewMeltChart(QWidget* parent = nullptr) : OriginMeltChart(parent)
    {
        mAxisY->setTitleText(QStringLiteral("-dF/dT"));
    }
};
