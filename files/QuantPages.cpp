#include "files/QuantPages.h"

#include "analysis/CallColour.h"
#include "analysis/QcFlags.h"
#include "analysis/Quantification.h"
#include "analysis/ResultText.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "files/OutData.h"
#include "files/PdfPages.h"
#include "files/ReportChart.h"
#include "method/RunControls.h"

#include <cmath>

namespace QuantPages {

namespace {

QString channelName(const OutData& data, int channel)
{
    return data.inData.method.ChannelNames.value(channel, QString::number(channel + 1));
}

void curves(PdfPages& pages, const OutData& data, const QuantResult& q)
{
    if (!q.curves.isEmpty())
        pages.text(QStringLiteral("实心点：标准品；空心点：排除的标准品；灰点：未知样本的定量在曲线上的位置"), 7, false, Qt::darkGray);
    for (const QuantCurve& c : q.curves) {
        const QColor colour = ReportChart::channelColour(c.channel);
        // Its numbers on top, red where a lab would not take the curve: ⚠ beside what falls short.
        const bool accepted = c.fit.fault().isEmpty() && c.fit.warnings().isEmpty();
        ReportChart chart{c.fit.usable() ? c.fit.equation() + QStringLiteral("，点数 %1").arg(c.fit.points) : c.fit.fault(),
                          QStringLiteral("log10(定量)"), QStringLiteral("Ct"), {}, {}, {}, accepted ? QColor(Qt::black) : QColor(Qt::red)};
        chart.dots = {{Quantification::unknownsOn(q, c), QColor(Qt::darkGray), false}, {c.points, colour, false},
                      {c.excludedPoints, colour, true}};
        if (c.fit.usable())
            chart.lines.append({{{c.fit.lowestLog - 0.3, c.fit.slope * (c.fit.lowestLog - 0.3) + c.fit.intercept},
                                 {c.fit.highestLog + 0.3, c.fit.slope * (c.fit.highestLog + 0.3) + c.fit.intercept}},
                                colour});
        pages.need(190); // the heading stays with its chart
        pages.text(QStringLiteral("标准曲线：%1（%2）").arg(c.target, channelName(data, c.channel)), 9, true);
        chart.draw(pages.painter(), pages.block(170));
    }
}

void excluded(PdfPages& pages, const OutData& data, const TempData& r, const QuantResult& q)
{
    const RunSetup& setup = data.inData.setup;
    QVector<QStringList> rows;
    for (const QuantCurve& c : q.curves)
        for (const ResultRow& row : c.wells) {
            if (!setup.excludedWells.contains(row.curveIndex))
                continue;
            const SampleType type = setup.typeOf(row.sample, c.target);
            rows.append({QString::number(row.number), row.sampleName, c.target,
                         ResultText::quantity(type.quantity) + ' ' + RunControls::unitName(type.unit),
                         ResultText::ct(r.ctValues.value(row.curveIndex)), setup.excludedWells.value(row.curveIndex)});
        }
    if (rows.isEmpty())
        return;
    pages.text(QStringLiteral("排除的标准品"), 10, true);
    pages.table({QStringLiteral("孔位"), QStringLiteral("样本"), QStringLiteral("靶标"), QStringLiteral("定量"), QStringLiteral("Ct"),
                 QStringLiteral("排除原因")},
                rows, {0.07, 0.15, 0.12, 0.14, 0.08, 0.44});
}

void quantities(PdfPages& pages, const QuantResult& q)
{
    if (q.samples.isEmpty())
        return;
    QVector<QStringList> rows;
    QStringList flags;
    for (const QuantSample& s : q.samples) {
        QStringList cells = {s.name, RunControls::typeName(s.type), s.target, SampleResults::holeList(s.holes),
                             ResultText::quantity(s.quantity), ResultText::quantity(s.quantitySd),
                             s.unit.isEmpty() ? QStringLiteral("-") : RunControls::unitName(s.unit), s.call,
                             s.flags.isEmpty() ? QStringLiteral("-") : QcFlags::names(s.flags)};
        if (s.call == SampleResults::invalid())
            cells[4] = cells[5] = s.call;
        rows.append(cells);
        for (const QString& f : s.flags)
            if (!flags.contains(f))
                flags << f;
    }
    pages.text(QStringLiteral("定量结果"), 10, true);
    pages.table({QStringLiteral("样本"), QStringLiteral("类型"), QStringLiteral("靶标"), QStringLiteral("孔位"), QStringLiteral("定量"),
                 QStringLiteral("标准差"), QStringLiteral("单位"), QStringLiteral("结果"), QStringLiteral("标记")},
                rows, {0.12, 0.09, 0.1, 0.09, 0.1, 0.1, 0.07, 0.08, 0.25}, [&](int row, int column) {
                    const QString& cell = rows[row][column];
                    return column == 7 || cell == SampleResults::invalid() ? callColour(cell) : QColor(Qt::black);
                });
    if (!flags.isEmpty())
        pages.text(QcFlags::describeAll(flags), 7, false, Qt::darkGray);
}

void relative(PdfPages& pages, const QuantResult& q)
{
    if (q.relative.isEmpty())
        return;
    const auto fixed = [](double v) { return std::isfinite(v) ? QString::number(v, 'f', 3) : QStringLiteral("-"); };
    QVector<QStringList> rows;
    for (const RelativeResult& r : q.relative) {
        QStringList cells = {r.sample, r.target, r.calibrator, r.references.join(','), ResultText::foldMethod(r.method),
                             ResultText::fold(r.fold, r.missing), fixed(r.sd),
                             std::isfinite(r.foldLow) ? fixed(r.foldLow) + QStringLiteral(" - ") + fixed(r.foldHigh) : QStringLiteral("-"),
                             QStringLiteral("-")};
        if (r.invalid)
            cells = cells.mid(0, 5) + QStringList{SampleResults::invalid(), SampleResults::invalid(), SampleResults::invalid(),
                                                  QStringLiteral("无效：对照失败")};
        rows.append(cells);
    }
    pages.text(QStringLiteral("相对定量（倍数变化）"), 10, true);
    pages.table({QStringLiteral("样本"), QStringLiteral("靶标"), QStringLiteral("校准样本"), QStringLiteral("内参靶标"), QStringLiteral("方法"),
                 QStringLiteral("倍数变化"), QStringLiteral("标准差"), QStringLiteral("范围"), QStringLiteral("标记")},
                rows, {0.12, 0.1, 0.12, 0.11, 0.09, 0.1, 0.09, 0.14, 0.13},
                [&](int row, int) { return q.relative[row].invalid ? QColor(Qt::red) : QColor(Qt::black); });
}

}

bool any(const QuantResult& q)
{
    return !q.curves.isEmpty() || !q.relative.isEmpty();
}

void write(PdfPages& pages, const OutData& data, const TempData& results, const QuantResult& q)
{
    pages.text(QStringLiteral("定量分析"), 11, true);
    if (!q.run.valid)
        pages.text(QStringLiteral("运行无效：") + q.run.reasons.join(QStringLiteral("；")), 8, true, Qt::red);
    curves(pages, data, q);
    excluded(pages, data, results, q);
    quantities(pages, q);
    relative(pages, q);
}

}
