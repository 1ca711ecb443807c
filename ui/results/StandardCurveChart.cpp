#include "ui/results/StandardCurveChart.h"

#include "analysis/Quantification.h"
#include "method/RunControls.h"
#include "ui/charts/AxisTicks.h"

#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <cmath>

using namespace QtCharts;

namespace {
const QVector<QColor> Colours = {QColor(0, 19, 255), QColor(230, 110, 0), QColor(0, 150, 0), QColor(128, 40, 170)};
}

StandardCurveChart::StandardCurveChart(QWidget* parent) : QuantChartView(parent)
{
    chart()->legend()->setAlignment(Qt::AlignTop);
}

void StandardCurveChart::draw(const QuantResult& q)
{
    chart()->setTitle(q.curves.isEmpty() ? QStringLiteral("标准曲线：本实验没有带定量的标准品") : QString());
    auto* x = new QValueAxis(chart());
    auto* y = new QValueAxis(chart());
    QStringList units;
    for (const QuantCurve& c : q.curves)
        if (!units.contains(RunControls::unitName(c.unit)))
            units << RunControls::unitName(c.unit);
    x->setTitleText(units.size() == 1 ? QStringLiteral("log10(定量，%1)").arg(units.first()) : QStringLiteral("log10(定量)"));
    y->setTitleText(QStringLiteral("Ct"));
    chart()->addAxis(x, Qt::AlignBottom);
    chart()->addAxis(y, Qt::AlignLeft);
    double lowX = 0, highX = 1, lowY = 10, highY = 40;
    bool first = true;
    const auto extend = [&](const QPointF& p) {
        lowX = first ? p.x() : qMin(lowX, p.x());
        highX = first ? p.x() : qMax(highX, p.x());
        lowY = first ? p.y() : qMin(lowY, p.y());
        highY = first ? p.y() : qMax(highY, p.y());
        first = false;
    };
    const auto add = [&](QXYSeries* s) {
        chart()->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    };
    for (int i = 0; i < q.curves.size(); ++i) {
        const QuantCurve& c = q.curves[i];
        const QColor colour = Colours[i % Colours.size()];
        auto* used = new QScatterSeries(chart());
        used->setColor(colour);
        used->setBorderColor(colour);
        used->setMarkerSize(9);
        used->replace(c.points);
        auto* left = new QScatterSeries(chart());
        left->setColor(Qt::white);
        left->setBorderColor(colour);
        left->setMarkerSize(9);
        left->replace(c.excludedPoints);
        for (const QPointF& p : c.points + c.excludedPoints)
            extend(p);
        if (c.fit.usable()) {
            // A value outside what a lab accepts carries ⚠ beside it; the banner says why.
            used->setName(c.target + QStringLiteral("：") + c.fit.equation());
            auto* line = new QLineSeries(chart());
            line->setPen(QPen(colour, 2));
            for (double lx : {c.fit.lowestLog - 0.3, c.fit.highestLog + 0.3})
                line->append(lx, c.fit.slope * lx + c.fit.intercept);
            add(line);
            chart()->legend()->markers(line).value(0)->setVisible(false);
            auto* unknowns = new QScatterSeries(chart());
            unknowns->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
            unknowns->setMarkerSize(8);
            unknowns->setColor(colour.lighter(150));
            for (const QPointF& p : Quantification::unknownsOn(q, c)) {
                unknowns->append(p);
                extend(p);
            }
            add(unknowns);
            chart()->legend()->markers(unknowns).value(0)->setVisible(false);
        } else {
            used->setName(QStringLiteral("%1：%2").arg(c.target, c.fit.fault()));
        }
        add(used);
        add(left);
        chart()->legend()->markers(left).value(0)->setVisible(false);
    }
    x->setRange(std::floor(lowX - 0.5), std::ceil(highX + 0.5));
    y->setRange(std::floor(lowY - 2), std::ceil(highY + 2));
    AxisTicks::keepRound(chart(), x, 8);
    AxisTicks::keepRound(chart(), y, 8);
}
