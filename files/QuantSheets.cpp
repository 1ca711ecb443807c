#include "files/QuantSheets.h"

#include "analysis/QcFlags.h"
#include "analysis/Quantification.h"
#include "analysis/SampleResults.h"
#include "files/OutData.h"
#include "files/XlsxSheet.h"
#include "method/RunControls.h"

#include <cmath>

namespace QuantSheets {

namespace {
void headers(XlsxSheet& sheet, int row, const QStringList& titles)
{
    for (int c = 0; c < titles.size(); ++c)
        sheet.text(row, c + 1, titles[c]);
}

}

void writeStandard(XlsxSheet& sheet, const OutData& data, const QuantResult& q)
{
    const QStringList& channels = data.inData.method.ChannelNames;
    headers(sheet, 1, {QStringLiteral("靶标"), QStringLiteral("通道"), QStringLiteral("斜率"), QStringLiteral("截距"), QStringLiteral("R²"),
                       QStringLiteral("效率(%)"), QStringLiteral("效率下限(%)"), QStringLiteral("效率上限(%)"), QStringLiteral("点数"),
                       QStringLiteral("排除孔位"), QStringLiteral("质量")});
    int row = 2;
    for (const QuantCurve& c : q.curves) {
        sheet.text(row, 1, c.target);
        sheet.text(row, 2, channels.value(c.channel));
        // An efficiency as a person reads it everywhere: a percent. No curve leaves its cells empty.
        sheet.number(row, 3, c.fit.slope);
        sheet.number(row, 4, c.fit.intercept);
        sheet.number(row, 5, c.fit.r2);
        sheet.number(row, 6, 100 * c.fit.efficiency);
        sheet.number(row, 7, 100 * c.fit.efficiencyLow);
        sheet.number(row, 8, 100 * c.fit.efficiencyHigh);
        sheet.number(row, 9, c.fit.points);
        sheet.text(row, 10, SampleResults::holeList(c.excluded));
        sheet.text(row, 11, c.fit.quality());
        ++row;
    }
    ++row;
    headers(sheet, row++, {QStringLiteral("孔位"), QStringLiteral("样本名"), QStringLiteral("靶标"), QStringLiteral("定量"),
                           QStringLiteral("反算定量"), QStringLiteral("偏差(%)"), QStringLiteral("单位"), QStringLiteral("排除原因")});
    for (const QuantCurve& c : q.curves)
        for (int w = 0; w < c.wells.size(); ++w) {
            sheet.number(row, 1, c.wells[w].number);
            sheet.text(row, 2, c.wells[w].sampleName);
            sheet.text(row, 3, c.target);
            sheet.number(row, 4, c.checks[w].quantity);
            sheet.number(row, 5, c.checks[w].backCalculated);
            sheet.number(row, 6, c.checks[w].error);
            sheet.text(row, 7, RunControls::unitName(c.unit));
            sheet.text(row, 8, data.inData.setup.excludedWells.value(c.wells[w].curveIndex));
            ++row;
        }
    ++row;
    headers(sheet, row++, {QStringLiteral("样本名"), QStringLiteral("类型"), QStringLiteral("靶标"), QStringLiteral("通道"),
                           QStringLiteral("孔位"), QStringLiteral("定量"), QStringLiteral("定量标准差"), QStringLiteral("单位"),
                           QStringLiteral("结果"), QStringLiteral("标记")});
    for (const QuantSample& s : q.samples) {
        sheet.text(row, 1, s.name);
        sheet.text(row, 2, RunControls::typeName(s.type));
        sheet.text(row, 3, s.target);
        sheet.text(row, 4, channels.value(s.channel));
        sheet.text(row, 5, SampleResults::holeList(s.holes));
        sheet.number(row, 6, s.quantity);
        sheet.number(row, 7, s.quantitySd);
        sheet.text(row, 8, s.unit.isEmpty() ? QString() : RunControls::unitName(s.unit));
        sheet.text(row, 9, s.call);
        sheet.text(row, 10, QcFlags::names(s.flags));
        ++row;
    }
}

void writeRelative(XlsxSheet& sheet, const QuantResult& q)
{
    headers(sheet, 1, {QStringLiteral("样本名"), QStringLiteral("靶标"), QStringLiteral("校准样本"), QStringLiteral("内参靶标"),
                       QStringLiteral("方法"), QStringLiteral("倍数变化"), QStringLiteral("标准差"), QStringLiteral("下限"),
                       QStringLiteral("上限"), QStringLiteral("结果")});
    int row = 2;
    for (const RelativeResult& r : q.relative) {
        sheet.text(row, 1, r.sample);
        sheet.text(row, 2, r.target);
        sheet.text(row, 3, r.calibrator);
        sheet.text(row, 4, r.references.join(','));
        sheet.text(row, 5, r.method);
        sheet.number(row, 6, r.fold);
        sheet.number(row, 7, r.sd);
        sheet.number(row, 8, r.foldLow);
        sheet.number(row, 9, r.foldHigh);
        sheet.text(row, 10, r.invalid ? SampleResults::invalid() : r.missing);
        ++row;
    }
}

}
