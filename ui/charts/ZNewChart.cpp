#include "ui/charts/ZNewChart.h"

ZNewChart::ZNewChart(QWidget* parent) : ZOriginChart(parent)
{
    mAxisY->setTitleText(QStringLiteral("ΔRn"));
}
