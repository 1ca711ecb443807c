#include "files/PdfReport.h"

#include "analysis/CallColour.h"
#include "analysis/QcFlags.h"
#include "analysis/ResultRows.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "analysis/Quantification.h"
#include "files/PdfPages.h"
#include "files/QuantPages.h"
#include "files/ReportChart.h"
#include "method/RecordEdits.h"

#include <QCoreApplication>
#include <QSet>

namespace {

void facts(PdfPages& pages, const OutData& d, const ReportFacts& f)
{
    const InData& in = d.inData;
    const QStringList edits = RecordEdits::of(in.remark);
    const QVector<QStringList> rows = {
        {QStringLiteral("实验"), f.experiment},
        {QStringLiteral("方法"), in.method.Name},
        {QStringLiteral("模块"), QStringLiteral("PCR %1").arg(in.pcrNumber)},
        {QStringLiteral("操作员"), f.operatorName.isEmpty() ? QStringLiteral("-") : f.operatorName},
        {QStringLiteral("检测时间"), in.dateTime.toString("yyyy-MM-dd HH:mm:ss")},
        {QStringLiteral("流水号"), in.serialNumber},
        {QStringLiteral("状态"), d.runComplete ? QStringLiteral("完成") : ResultText::incompleteRun()},
        {QStringLiteral("备注"), in.remark.isEmpty() ? QStringLiteral("-") : in.remark},
    };
    pages.table({QStringLiteral("项目"), QStringLiteral("内容")}, rows, {0.2, 0.8}, [&](int row, int) {
        return (row == 6 && !d.runComplete) || (row == 7 && !edits.isEmpty()) ? QColor(Qt::red) : QColor(Qt::black);
    });
}

void charts(PdfPages& pages, const OutData& d, const TempData& r)
{
    const QStringList channels = d.inData.method.ChannelNames;
    ReportChart amplification{QStringLiteral("扩增曲线（基线校正）"), QStringLiteral("循环"), QStringLiteral("荧光"), {}, {}, {}};
    ReportChart melt{QStringLiteral("熔解曲线（-dF/dT）"), QStringLiteral("温度 (°C)"), QStringLiteral("-dF/dT"), {}, {}, {}};
    QVector<QSet<double>> thresholds(channels.size());
    for (const ResultRow& row : resultRows(d)) {
        const int s = row.curveIndex;
        if (s < r.relativeLines.size())
            amplification.lines.append({r.relativeLines[s], ReportChart::channelColour(row.channel)});
        if (s < r.newMeltLines.size() && !r.newMeltLines[s].isEmpty())
            melt.lines.append({r.newMeltLines[s], ReportChart::channelColour(row.channel)});
        if (s < r.targets.size() && row.channel < thresholds.size())
            thresholds[row.channel].insert(r.targets[s].Threshold);
    }
    // A threshold line only where the channel has one threshold; per-curve ones are in the table.
    for (int c = 0; c < thresholds.size(); ++c)
        if (thresholds[c].size() == 1)
            amplification.levels.append({*thresholds[c].begin(), ReportChart::channelColour(c)});
    QStringList legend;
    for (int c = 0; c < channels.size(); ++c)
        legend << QStringLiteral("%1：%2").arg(channels[c], c % 2 ? QStringLiteral("橙色") : QStringLiteral("蓝色"));
    pages.text(legend.join(QStringLiteral("    ")) + QStringLiteral("    虚线：阈值"), 7, false, Qt::darkGray);
    amplification.draw(pages.painter(), pages.block(230));
    if (!melt.lines.isEmpty())
        melt.draw(pages.painter(), pages.block(200));
}

void sampleTable(PdfPages& pages, const OutData& d, const TempData& r)
{
    const QVector<SampleResult> samples = SampleResults::of(d, r);
    if (samples.isEmpty())
        return;
    pages.text(QStringLiteral("样本结果"), 11, true);
    QVector<QStringList> rows;
    for (const SampleResult& s : samples)
        rows.append(SampleResults::cells(s, d.inData.method.ChannelNames));
    pages.table(SampleResults::headers(), rows, {0.05, 0.1, 0.09, 0.06, 0.09, 0.07, 0.07, 0.08, 0.06, 0.23, 0.1},
                [&](int row, int column) { return column == 8 ? callColour(rows[row][8]) : QColor(Qt::black); });
}

void holeTable(PdfPages& pages, const OutData& d, const TempData& r)
{
    pages.text(QStringLiteral("孔结果"), 11, true);
    QVector<QStringList> rows;
    for (const ResultRow& row : resultRows(d)) {
        const int s = row.curveIndex;
        if (s >= r.ctValues.size())
            continue;
        rows.append({QString::number(row.number), QString::number(row.holeNumber), row.sampleName,
                     d.inData.method.ChannelNames.value(row.channel), r.targets[s].Name, ResultText::ct(r.ctValues[s]),
                     ResultText::call(r.positives[s], d.runComplete), ResultText::tm(r.tmValues[s]), QcFlags::names(r.flags[s])});
    }
    pages.table({QStringLiteral("孔位"), QStringLiteral("位置"), QStringLiteral("样本"), QStringLiteral("通道"),
                 QStringLiteral("靶标"), QStringLiteral("Ct"), QStringLiteral("结果"), QStringLiteral("Tm"), QStringLiteral("质控标记")},
                rows, {0.06, 0.06, 0.14, 0.07, 0.12, 0.08, 0.08, 0.08, 0.31},
                [&](int row, int column) { return column == 6 ? callColour(rows[row][6]) : QColor(Qt::black); });
}

void signatures(PdfPages& pages, const ReportFacts& f)
{
    pages.text(QStringLiteral("电子签名"), 11, true);
    // Without the store's word (records) no "unsigned" is printed: the warning says why.
    if (f.signatures.isEmpty() && !f.records.isEmpty()) {
        pages.text(QStringLiteral("未签名"), 9, false, Qt::darkGray);
    } else {
        QVector<QStringList> rows;
        for (const ReportFacts::Signer& s : f.signatures)
            rows.append({s.name, s.meaning, s.at.toLocalTime().toString("yyyy-MM-dd HH:mm:ss"), s.fileHash});
        pages.table({QStringLiteral("签名人"), QStringLiteral("含义"), QStringLiteral("时间"), QStringLiteral("文件SHA-256")},
                    rows, {0.16, 0.08, 0.2, 0.56});
    }
    if (!f.records.isEmpty())
        pages.text(f.records, 8, false, Qt::darkGray);
    if (!f.warning.isEmpty())
        pages.text(f.warning, 9, true, Qt::red);
}

}

namespace PdfReport {

QString write(const OutData& data, const ReportFacts& f, const QString& path)
{
    if (!data.withinLimits())
        return QStringLiteral("实验记录超出范围，未生成报告");
    const QString footer = QStringLiteral("%1 · %2 · 打印于 %3")
                               .arg(f.experiment, QCoreApplication::applicationName(),
                                    QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm"));
    PdfPages pages(path, f.experiment, footer);
    if (!pages.begin())
        return QStringLiteral("文件%1无法写入").arg(path);
    if (!f.header.isEmpty())
        pages.text(f.header, 9, false, Qt::darkGray, Qt::AlignCenter);
    pages.text(QStringLiteral("荧光定量PCR检测报告"), 16, true, Qt::black, Qt::AlignCenter);
    pages.space(6);
    facts(pages, data, f);
    const TempData results(data);
    charts(pages, data, results);
    sampleTable(pages, data, results);
    holeTable(pages, data, results);
    const QuantResult quantification = Quantification::of(data, results);
    if (QuantPages::any(quantification))
        QuantPages::write(pages, data, results, quantification);
    signatures(pages, f);
    return pages.finish() ? QString() : QStringLiteral("文件%1无法写入").arg(path);
}

}
