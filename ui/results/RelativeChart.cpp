#include "ui/results/RelativeChart.h"

#include "analysis/Quantification.h"

#include <cmath>
#include <QCategoryAxis>
#include <QLineSeries>
#include <QLogValueAxis>

using namespace QtCharts;

namespace {
bool drawable(double fold)
{
    return std::isfinite(fold) && fold > 0;
}
}

RelativeChart::RelativeChart(QWidget* parent) : QuantChartView(parent)
{
    chart()->legend()->hide();
}

void RelativeChart::draw(const QuantResult& q)
{
    chart()->setTitle(q.relative.isEmpty() ? QStringLiteral("相对定量：请选择校准样本和内参靶标") : QStringLiteral("倍数变化（相对校准样本）"));
    auto* x = new QCategoryAxis(chart());
    // Folds up and down are alike on a log2 axis: 0.017 is as far from 1 as 60, and visible.
    auto* y = new QLogValueAxis(chart());
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    // Slanted, every sample's label fits under its bar however many there are.
    x->setLabelsAngle(-45);
    y->setLabelFormat(QStringLiteral("%g"));
    y->setTitleText(QStringLiteral("倍数变化（log2）"));
    chart()->addAxis(x, Qt::AlignBottom);
    chart()->addAxis(y, Qt::AlignLeft);
    bool oneTarget = true;
    for (const RelativeResult& r : q.relative)
        oneTarget = oneTarget && r.target == q.relative.first().target;
    double low = 1, high = 1;
    // Bars are thick vertical lines from 1 (no change), the error bar a thin one with caps.
    for (int i = 0; i < q.relative.size(); ++i) {
        const RelativeResult& r = q.relative[i];
        const double at = i + 1;
        // Labels of a category axis must differ, or the later one is dropped with its bar's name.
        x->append(QStringLiteral("%1. %2").arg(i + 1).arg(oneTarget ? r.sample : r.sample + ' ' + r.target), at);
        if (!drawable(r.fold))
            continue;
        auto* bar = new QLineSeries(chart());
        bar->setPen(QPen(r.invalid ? QColor(160, 160, 160, 160) : QColor(0, 19, 255, 160), 24, Qt::SolidLine, Qt::FlatCap));
        bar->append(at, 1);
        bar->append(at, r.fold);
        auto* range = new QLineSeries(chart());
        range->setPen(QPen(Qt::black, 2));
        // A single replicate has no range to draw.
        if (drawable(r.foldLow) && drawable(r.foldHigh))
            for (const QPointF& p : {QPointF(at - 0.1, r.foldLow), QPointF(at + 0.1, r.foldLow), QPointF(at, r.foldLow),
                                     QPointF(at, r.foldHigh), QPointF(at - 0.1, r.foldHigh), QPointF(at + 0.1, r.foldHigh)})
                range->append(p);
        for (QLineSeries* s : {bar, range}) {
            chart()->addSeries(s);
            s->attachAxis(x);
            s->attachAxis(y);
        }
        low = std::min({low, r.fold, drawable(r.foldLow) ? r.foldLow : r.fold});
        high = std::max({high, r.fold, drawable(r.foldHigh) ? r.foldHigh : r.fold});
    }
    x->setRange(0.5, q.relative.size() + 0.5);
    // Ticks at whole powers of two, a step of several powers where the folds span many, so that
    // at most ten ticks are labelled.
    const int step = std::max(1, int(std::ceil((std::ceil(std::log2(high)) - std::floor(std::log2(low)) + 2) / 10)));
    y->setBase(std::pow(2.0, step));
    y->setRange(std::pow(2.0, step * std::floor((std::log2(low) - 1) / step)), std::pow(2.0, step * std::ceil((std::log2(high) + 1) / step)));
}
