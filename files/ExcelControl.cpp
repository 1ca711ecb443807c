#include "files/ExcelControl.h"

#include "analysis/Quantification.h"
#include "analysis/ResultText.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "app/UI.h"
#include "files/QuantSheets.h"
#include "files/XlsxReader.h"
#include "files/XlsxSheet.h"
#include "method/RecordLimits.h"

#include <xlsxwriter.h>

#include <QFileInfo>

#include <cmath>

namespace {

constexpr lxw_color_t Red = 0xFF0000;   // positive
constexpr lxw_color_t Green = 0x00FF00; // negative
constexpr lxw_color_t Grey = 0x808080;  // not called: the run did not complete
constexpr lxw_color_t Purple = 0x8028AA; // invalid: the internal control failed
constexpr lxw_color_t Black = LXW_COLOR_BLACK;

// Two decimals, halves away from zero.
double twoDecimals(double value)
{
    return std::round(value * 100) / 100;
}

// The run's time on the "info" sheet, which also tells a workbook of this run from another's.
QString infoTime(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy年MM月dd日 hh:mm:ss"));
}

// The colour of a curve's call.
lxw_color_t callColour(bool positive, bool runComplete)
{
    return positive ? Red : runComplete ? Green : Grey;
}

void writeInfo(XlsxSheet& info, const OutData& data, const RunValidity& validity)
{
    const InData& in = data.inData;
    info.text(1, 1, QStringLiteral("流水号"));
    info.text(1, 2, in.serialNumber);
    info.text(2, 1, QStringLiteral("备注"));
    info.text(2, 2, in.remark);
    info.text(3, 1, QStringLiteral("项目名称"));
    info.text(3, 2, in.method.Name);
    info.text(4, 1, QStringLiteral("检测时间"));
    info.text(4, 2, infoTime(in.dateTime));
    if (!data.runComplete)
        info.text(5, 1, ResultText::incompleteRun(), Grey);
    // A run with control rules says how its controls came out; any run says why it is invalid
    // (an amplified negative control, a standard curve no lab would accept).
    if (!data.inData.method.controlRules.isEmpty() || !validity.valid) {
        info.text(6, 1, QStringLiteral("质控"));
        const QString text = validity.valid ? QStringLiteral("运行有效") : QStringLiteral("运行无效：") + validity.reasons.join(QStringLiteral("；"));
        info.text(6, 2, text, validity.valid ? Black : Purple);
    }
}

void writeOut(XlsxSheet& out, const OutData& data, const TempData& r)
{
    const SMethod& m = data.inData.method;
    const int channels = m.ChannelColor;
    out.text(1, 1, QStringLiteral("样本号"));
    out.text(1, 2, QStringLiteral("样本名"));
    out.text(1, 3, QStringLiteral("孔位"));
    // The position on the chip after every channel's columns, where no reader of this sheet looks.
    const int positionColumn = 3 * channels + 4;
    out.text(1, positionColumn, QStringLiteral("位置"));
    const QMap<int, int> numbering = data.inData.method.runningNumbers();
    // Samples follow each other; with equal hole counts this is row i x n + 2 for sample i.
    int row = 2;
    for (int i = 0; i < m.SampleNumber; ++i) {
        QVector<int> holes;
        for (int hole : m.sampleHoleMap.value(i))
            if (m.curveIndex(hole, 0) >= 0)
                holes.append(hole); // a hole outside the chip has no row
        const int n = holes.size();
        if (n == 0)
            continue;
        out.mergedText(row, 1, row + n - 1, QString::number(i + 1));
        out.mergedText(row, 2, row + n - 1, data.inData.sampleNames.value(i));
        for (int j = 0; j < n; ++j) {
            const int r0 = row + j;
            const int h = holes[j] - 1;
            out.text(r0, 3, QString::number(numbering.value(holes[j])));
            out.number(r0, positionColumn, holes[j]);
            for (int k = 0; k < channels; ++k) {
                const int s = m.curveIndex(holes[j], k);
                const bool valid = s >= 0 && s < r.ctValues.size();
                out.text(r0, 3 * k + 4, m.holeTargets.value(h).at(k).Name);
                out.number(r0, 3 * k + 5, valid ? std::fabs(twoDecimals(r.ctValues[s])) : 0.0);
                const bool positive = valid && r.positives[s];
                out.text(r0, 3 * k + 6, ResultText::call(positive, data.runComplete), callColour(positive, data.runComplete));
            }
        }
        row += n;
    }
    for (int k = 0; k < channels; ++k) {
        const QString name = m.ChannelNames.value(k);
        out.text(1, 3 * k + 4, name + QStringLiteral("靶标"));
        out.text(1, 3 * k + 5, name + QStringLiteral("Ct值"));
        out.text(1, 3 * k + 6, name + QStringLiteral("结果"));
    }
}

// A row per position on the chip, as readers of this sheet expect; a used hole's running number
// follows the readings of every row, one column apart, so the way back still finds the row's end.
void writeOrigin(XlsxSheet& origin, const OutData& data, const TempData& r)
{
    const SMethod& m = data.inData.method;
    int end = 2;
    for (int h = 0; h < m.Hole; ++h) {
        int column = 2;
        for (int k = 0; k < m.ChannelColor; ++k)
            column += data.pdLines.value(h * m.ChannelColor + k).size() + 1;
        end = qMax(end, column);
    }
    const QMap<int, int> numbering = data.inData.method.runningNumbers();
    for (int h = 0; h < m.Hole; ++h) {
        if (numbering.contains(h + 1))
            origin.text(h + 1, end + 1, QStringLiteral("孔位%1").arg(numbering.value(h + 1)));
        origin.text(h + 1, 1, QString::number(h + 1));
        // Each channel's block follows the previous one, so series of unequal length never overlap.
        int column = 2;
        for (int k = 0; k < m.ChannelColor; ++k) {
            const int s = h * m.ChannelColor + k;
            const Curve series = data.pdLines.value(s);
            origin.text(h + 1, column, m.holeTargets.value(h).at(k).Name, callColour(r.positives.value(s), data.runComplete));
            for (int j = 0; j < series.size(); ++j)
                origin.number(h + 1, column + 1 + j, twoDecimals(series[j].y()));
            column += series.size() + 1;
        }
    }
}

// Per sample and target, after the sheets other tools already read. Ct mean and SD are numbers,
// so that a script can take them as they are.
void writeSamples(XlsxSheet& sheet, const OutData& data, const TempData& r)
{
    const QStringList headers = SampleResults::headers();
    for (int c = 0; c < headers.size(); ++c)
        sheet.text(1, c + 1, headers[c]);
    const int callColumn = headers.indexOf(QStringLiteral("结果"));
    int row = 2;
    for (const SampleResult& result : SampleResults::of(data, r)) {
        const QStringList cells = SampleResults::cells(result, data.inData.method.ChannelNames);
        for (int c = 0; c < cells.size(); ++c) {
            const bool number = (c == callColumn - 2 && result.positive > 0) || (c == callColumn - 1 && result.positive > 1);
            if (number)
                sheet.number(row, c + 1, twoDecimals(c == callColumn - 2 ? result.meanCt : result.sdCt));
            else if (c == callColumn)
                sheet.text(row, c + 1, cells[c],
                           cells[c] == SampleResults::invalid() ? Purple : callColour(result.positive > 0, data.runComplete));
            else
                sheet.text(row, c + 1, cells[c]);
        }
        ++row;
    }
}

}

bool ExcelControl::saveAsExcel(const OutData& data, const QString& path, const QVector<QStringList>& records) const
{
    if (!data.withinLimits())
        return false; // a damaged record: nothing sensible to write
    const TempData results(data);

    lxw_workbook* workbook = workbook_new(path.toUtf8().constData());
    if (!workbook)
        return false;
    XlsxSheet info(workbook, "info", false);
    XlsxSheet out(workbook, "out", true);
    XlsxSheet origin(workbook, "origin", true);
    XlsxSheet samples(workbook, "samples", true);
    XlsxSheet standard(workbook, "standard", true);
    XlsxSheet relative(workbook, "relative", true);
    const QuantResult quant = Quantification::of(data, results);
    writeInfo(info, data, quant.run);
    for (int row = 0; row < records.size(); ++row)
        for (int column = 0; column < records[row].size(); ++column)
            info.text(8 + row, 1 + column, records[row][column]);
    writeOut(out, data, results);
    writeOrigin(origin, data, results);
    writeSamples(samples, data, results);
    QuantSheets::writeStandard(standard, data, quant);
    QuantSheets::writeRelative(relative, quant);
    info.activate();
    const bool written = info.ok() && out.ok() && origin.ok() && samples.ok() && standard.ok() && relative.ok();
    if (workbook_close(workbook) == LXW_NO_ERROR && written)
        return true;
    // A workbook cut short (a full disk) is no report: none is left to be taken for one.
    QFile::remove(path);
    return false;
}

QVector<QVector<QPointF>> ExcelControl::getFakeData(const QString& path, const QString& sheet, int holes, int channels) const
{
    if (holes <= 0 || channels <= 0 || holes > RecordLimits::MaxHoles || channels > RecordLimits::MaxChannels)
        return {};
    XlsxReader reader;
    if (!reader.open(path) || !reader.readSheet(sheet))
        return {};
    QVector<QVector<QPointF>> curves;
    for (int row = 1; row <= holes; ++row) {
        if (reader.text(row, 1) != QString::number(row))
            return {};
        int column = 2;
        for (int k = 0; k < channels; ++k) {
            if (reader.isNumber(row, column))
                return {}; // each channel's block opens with its target's name
            QVector<QPointF> curve;
            while (reader.isNumber(row, ++column) && curve.size() < RecordLimits::MaxReadings)
                curve.append(QPointF(curve.size() + 1, reader.number(row, column)));
            if (curve.isEmpty() || (!curves.isEmpty() && curve.size() != curves.first().size()))
                return {};
            curves << curve;
        }
        if (!reader.text(row, column).isEmpty())
            return {}; // more channels than the chip has
    }
    return curves;
}

QString ExcelControl::readingsFromWorkbook(const OutData& record, const QString& path, QVector<QVector<QPointF>>& readings) const
{
    const QString name = QFileInfo(path).fileName();
    const InData& in = record.inData;
    XlsxReader info;
    if (!info.open(path) || !info.readSheet("info") || info.text(1, 2) != in.serialNumber || info.text(4, 2) != infoTime(in.dateTime))
        return UI::WorkbookOfAnotherRun.arg(name);
    const SMethod& m = in.method;
    const QVector<QVector<QPointF>> sheet = getFakeData(path, "origin", m.Hole, m.ChannelColor);
    if (sheet.isEmpty() || sheet.size() != record.pdLines.size())
        return UI::WorkbookMismatch.arg(name);
    readings = record.pdLines;
    for (int s = 0; s < sheet.size(); ++s) {
        if (sheet[s].size() > readings[s].size())
            return UI::WorkbookMismatch.arg(name);
        for (int j = 0; j < sheet[s].size(); ++j)
            if (twoDecimals(readings[s][j].y()) != sheet[s][j].y())
                readings[s][j].setY(sheet[s][j].y());
    }
    return QString();
}

QString ExcelControl::saveAsString(const OutData&, const QString&) const
{
    return QStringLiteral("string");
}
