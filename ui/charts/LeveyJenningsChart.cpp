#include "ui/charts/LeveyJenningsChart.h"

#include "ui/charts/AxisTicks.h"

#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>

#include <cmath>

using namespace QtCharts;

LeveyJenningsChart::LeveyJenningsChart(QWidget* parent) : QChartView(new QChart, parent)
{
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->setAlignment(Qt::AlignBottom);
}

void LeveyJenningsChart::setTrend(const ControlTrend& t, const QString& title)
{
    chart()->removeAllSeries();
    for (QAbstractAxis* axis : chart()->axes())
        chart()->removeAxis(axis);
    chart()->setTitle(title);
    auto* x = new QValueAxis(chart());
    auto* y = new QValueAxis(chart());
    x->setTitleText(QStringLiteral("运行（按时间）"));
    y->setTitleText(QStringLiteral("Ct"));
    chart()->addAxis(x, Qt::AlignBottom);
    chart()->addAxis(y, Qt::AlignLeft);
    const auto add = [&](QXYSeries* s) {
        chart()->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    };
    const int n = t.points.size();
    double low = t.mean, high = t.mean;
    // The limits as flat lines over every run: the mean, 1 SD grey, 2 SD orange, 3 SD red.
    const QList<QPair<int, QColor>> limits = {{0, Qt::darkGreen}, {1, Qt::gray}, {2, QColor(230, 140, 0)}, {3, Qt::red}};
    if (std::isfinite(t.sd))
        for (const auto& [k, colour] : limits)
            for (int side : k == 0 ? QVector<int>{1} : QVector<int>{-1, 1}) {
                auto* line = new QLineSeries(chart());
                const double v = t.mean + side * k * t.sd;
                line->append(0.5, v);
                line->append(n + 0.5, v);
                line->setPen(QPen(colour, 1, k == 0 ? Qt::SolidLine : Qt::DashLine));
                line->setName(k == 0 ? QStringLiteral("均值 %1").arg(v, 0, 'f', 2) : side > 0 ? QStringLiteral("±%1SD").arg(k) : QString());
                add(line);
                chart()->legend()->markers(line).value(0)->setVisible(!line->name().isEmpty());
                low = std::min(low, v);
                high = std::max(high, v);
            }
    auto* series = new QLineSeries(chart());
    series->setName(QStringLiteral("Ct"));
    series->setPointsVisible(true);
    series->setPen(QPen(QColor(0, 19, 255), 2));
    auto* broken = new QScatterSeries(chart());
    broken->setName(QStringLiteral("违反规则"));
    broken->setColor(Qt::red);
    broken->setMarkerSize(11);
    QMap<int, QStringList> rules;
    for (const ControlTrend::Violation& v : t.violations)
        rules[v.point] << v.rule;
    for (int i = 0; i < n; ++i) {
        const double ct = t.points[i].ct;
        if (!std::isfinite(ct))
            continue;
        series->append(i + 1, ct);
        if (rules.contains(i))
            broken->append(i + 1, ct);
        low = std::isfinite(low) ? std::min(low, ct) : ct;
        high = std::isfinite(high) ? std::max(high, ct) : ct;
    }
    add(series);
    add(broken);
    connect(broken, &QScatterSeries::hovered, this, [this, t, rules](const QPointF& p, bool state) {
        const int i = int(std::lround(p.x())) - 1;
        if (state && i >= 0 && i < t.points.size())
            QToolTip::showText(QCursor::pos(), QStringLiteral("%1\n%2\nCt %3：%4")
                                                   .arg(t.points[i].experiment, t.points[i].time.toLocalTime().toString("yyyy-MM-dd HH:mm"))
                                                   .arg(t.points[i].ct, 0, 'f', 2)
                                                   .arg(rules.value(i).join(QStringLiteral("，"))));
    });
    x->setRange(0.5, std::max(1, n) + 0.5);
    const double margin = std::isfinite(high - low) && high > low ? (high - low) * 0.1 : 1;
    y->setRange(std::isfinite(low) ? low - margin : 0, std::isfinite(high) ? high + margin : 40);
    AxisTicks::keepRound(chart(), x, 10, "%d");
    AxisTicks::keepRound(chart(), y, 8);
}
