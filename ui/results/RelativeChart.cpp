#include "ui/results/RelativeChart.h"

#include "analysis/Quantification.h"
#include "ui/charts/AxisTicks.h"

#include <cmath>
#include <QCategoryAxis>
#include <QLineSeries>
#include <QValueAxis>

using namespace QtCharts;

RelativeChart::RelativeChart(QWidget* parent) : QuantChartView(parent)
{
    chart()->legend()->hide();
}

void RelativeChart::draw(const QuantResult& q)
{
    chart()->setTitle(q.relative.isEmpty() ? QStringLiteral("相对定量：请选择校准样本和内参靶标") : QStringLiteral("倍数变化（相对校准样本）"));
    auto* x = new QCategoryAxis(chart());
    auto* y = new QValueAxis(chart());
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    y->setTitleText(QStringLiteral("倍数变化"));
    chart()->addAxis(x, Qt::AlignBottom);
    chart()->addAxis(y, Qt::AlignLeft);
    // Sample names alone where all bars are of one target.
    bool oneTarget = true;
    for (const RelativeResult& r : q.relative)
        oneTarget = oneTarget && r.target == q.relative.first().target;
    double top = 1;
    // Bars are thick vertical lines; the error bar a thin one with caps.
    for (int i = 0; i < q.relative.size(); ++i) {
        const RelativeResult& r = q.relative[i];
        const double at = i + 1;
        auto* bar = new QLineSeries(chart());
        bar->setPen(QPen(QColor(0, 19, 255, 160), 24, Qt::SolidLine, Qt::FlatCap));
        bar->append(at, 0);
        bar->append(at, r.fold);
        // A single replicate has no range to draw.
        auto* range = new QLineSeries(chart());
        range->setPen(QPen(Qt::black, 2));
        if (std::isfinite(r.foldLow) && std::isfinite(r.foldHigh))
            for (const QPointF& p : {QPointF(at - 0.1, r.foldLow), QPointF(at + 0.1, r.foldLow), QPointF(at, r.foldLow),
                                     QPointF(at, r.foldHigh), QPointF(at - 0.1, r.foldHigh), QPointF(at + 0.1, r.foldHigh)})
                range->append(p);
        for (QLineSeries* s : {bar, range}) {
            chart()->addSeries(s);
            s->attachAxis(x);
            s->attachAxis(y);
        }
        x->append(oneTarget ? r.sample : r.sample + ' ' + r.target, at);
        top = qMax(top, std::isfinite(r.foldHigh) ? r.foldHigh : r.fold);
    }
    x->setRange(0.5, q.relative.size() + 0.5);
    y->setRange(0, top * 1.15);
    AxisTicks::keepRound(y, 6);
}
