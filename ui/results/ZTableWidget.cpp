#include "ui/results/ZTableWidget.h"

#include "analysis/QcFlags.h"
#include "analysis/ResultText.h"
#include "analysis/TempData.h"
#include "analysis/CallColour.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QScroller>
#include <QStyle>

namespace {
QColor channelColor(int channel)
{
    return channel == 0 ? QColor(Qt::cyan) : QColor(Qt::yellow);
}
}

ZTableWidget::ZTableWidget(QWidget* parent) : QTableWidget(parent)
{
    setSelectionMode(QAbstractItemView::NoSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    QScroller::grabGesture(viewport(), QScroller::LeftMouseButtonGesture);
    setMouseTracking(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QTableWidget::cellClicked, this, &ZTableWidget::slotCellClicked);
}

void ZTableWidget::setText(int row, int column, const QString& text)
{
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setTextAlignment(Qt::AlignCenter);
        setItem(row, column, cell);
    }
    cell->setText(text);
}

void ZTableWidget::setInData(const InData& in)
{
    clearSpans();
    mMethod = in.method;
    mHasCycle = mMethod.hasCycleStep();
    mHasMelt = mMethod.hasMeltStep();
    clear();
    const int rows = mMethod.countsInRange() ? mMethod.Hole : 0;
    const int c = mMethod.countsInRange() ? channels() : 0;
    setRowCount(rows);
    setColumnCount(4 * c + 3);
    QStringList headers = {QStringLiteral("样本号"), QStringLiteral("样本名"), QStringLiteral("孔位")};
    for (int ch = 0; ch < c; ++ch) {
        const QString name = mMethod.ChannelNames.value(ch);
        headers << name + QStringLiteral(" 靶标") << name + QStringLiteral(" CT值") << name + QStringLiteral(" 结果")
                << name + QStringLiteral(" Tm");
    }
    setHorizontalHeaderLabels(headers);
    for (int col = 0; col < columnCount(); ++col)
        setColumnHidden(col, false);
    for (int r = 0; r < rows; ++r) {
        setText(r, 2, QString::number(r + 1));
        for (int ch = 0; ch < c; ++ch) {
            setText(r, 4 * ch + 3, mMethod.holeTargets.value(r).at(ch).Name);
            for (int k = 4; k <= 6; ++k)
                setText(r, 4 * ch + k, QStringLiteral("/"));
        }
        setRowHidden(r, true);
    }
    for (int ch = 0; ch < c; ++ch)
        for (int k = 4; k <= 6; ++k)
            horizontalHeader()->setSectionResizeMode(4 * ch + k, QHeaderView::ResizeToContents);
    hideMissingColumns();

    const bool namesFit = in.sampleNames.size() == mMethod.SampleNumber;
    const bool remarksFit = in.sampleRemarks.size() == mMethod.SampleNumber;
    int sample = 0;
    const QMap<int, int> numbers = mMethod.runningNumbers();
    for (auto it = mMethod.sampleHoleMap.cbegin(); it != mMethod.sampleHoleMap.cend(); ++it, ++sample) {
        const QVector<int>& holes = it.value();
        const int first = holes.value(0);
        const int n = holes.size();
        // One cell over the sample's rows only where its holes follow one another; otherwise
        // (an imported plate that interleaves samples) every hole's row names its own sample.
        bool together = true;
        for (int i = 1; i < n; ++i)
            together = together && holes[i] == first + i;
        for (int i = 0; i < (together ? qMin(n, 1) : n); ++i) {
            const int row = holes[i] - 1;
            if (row < 0 || row >= rows)
                continue;
            setText(row, 0, QString("%1").arg(sample + 1));
            setText(row, 1, namesFit ? in.sampleNames.value(sample) : QString());
            item(row, 1)->setToolTip(QStringLiteral("备注：") + (remarksFit ? in.sampleRemarks.value(sample) : QString()));
        }
        if (together && n > 1 && first >= 1 && first - 1 + n <= rows) {
            setSpan(first - 1, 0, n, 1);
            setSpan(first - 1, 1, n, 1);
        }
        for (int k : holes)
            if (k >= 1 && k <= rows) {
                setRowHidden(k - 1, false);
                setText(k - 1, 2, QString::number(numbers.value(k)));
                item(k - 1, 2)->setToolTip(QStringLiteral("位置 %1").arg(k));
            }
    }
    for (int col = 0; col < 3; ++col)
        horizontalHeader()->setSectionResizeMode(col, QHeaderView::ResizeToContents);
}

void ZTableWidget::hideMissingColumns()
{
    for (int ch = 0; ch < channels() && 4 * ch + 6 < columnCount(); ++ch) {
        if (!mHasCycle) {
            setColumnHidden(4 * ch + 4, true);
            setColumnHidden(4 * ch + 5, true);
        }
        if (!mHasMelt)
            setColumnHidden(4 * ch + 6, true);
    }
}

void ZTableWidget::setOutData(const OutData& data)
{
    const TempData results(data);
    mMethod = data.inData.method;
    mHasCycle = mMethod.hasCycleStep();
    mHasMelt = mMethod.hasMeltStep();
    const int rows = qMin(rowCount(), mMethod.countsInRange() ? mMethod.Hole : 0);
    for (int r = 0; r < rows; ++r)
        for (int ch = 0; ch < channels() && 4 * ch + 6 < columnCount(); ++ch) {
            const int s = mMethod.curveIndex(r + 1, ch);
            if (s < 0 || s >= results.ctValues.size())
                continue;
            if (mHasCycle) {
                setText(r, 4 * ch + 3, results.targets[s].Name);
                setText(r, 4 * ch + 4, ResultText::ct(results.ctValues[s]));
                const QString call = ResultText::call(results.positives[s], data.runComplete);
                setText(r, 4 * ch + 5, call);
                // An internal control that did not amplify is no good news: it invalidates its
                // sample, and is shown in the invalid colour with that said.
                const bool controlFailed = SampleResults::controlFailed(data, results, s);
                item(r, 4 * ch + 5)->setForeground(callColour(controlFailed ? SampleResults::invalid() : call));
                const QStringList& flags = results.flags[s];
                item(r, 4 * ch + 5)->setIcon(flags.isEmpty() && !controlFailed ? QIcon() : style()->standardIcon(QStyle::SP_MessageBoxWarning));
                QString tip = QcFlags::describeAll(flags);
                if (controlFailed)
                    tip.prepend(QcFlags::name("control-failed") + QStringLiteral("：") + QcFlags::describe("control-failed") + (tip.isEmpty() ? "" : "\n"));
                item(r, 4 * ch + 5)->setToolTip(tip);
            }
            if (mHasMelt)
                setText(r, 4 * ch + 6, ResultText::tm(results.tmValues[s]));
        }
    hideMissingColumns();
}

void ZTableWidget::paint(int row, int firstColumn, int lastColumn, const QColor& color)
{
    for (int col = firstColumn; col <= lastColumn && col < columnCount(); ++col) {
        if (!item(row, col))
            setText(row, col, QString());
        item(row, col)->setBackground(color);
    }
}

void ZTableWidget::scrollToHole(int hole)
{
    if (rowCount() > 0)
        verticalScrollBar()->setValue(hole * rowHeight(0));
}

void ZTableWidget::slotLineHover(bool state, int hole, int color)
{
    for (int r = 0; r < rowCount(); ++r)
        paint(r, 4 * color + 3, 4 * color + 6, state && r == hole ? channelColor(color) : QColor(Qt::white));
    scrollToHole(hole);
}

void ZTableWidget::slotHoleHovered(int index, bool hovered)
{
    if (index < 0 || index >= rowCount())
        return;
    for (int ch = 0; ch < channels(); ++ch)
        paint(index, 4 * ch + 2, 4 * ch + 6, hovered ? channelColor(ch) : QColor(Qt::white));
    scrollToHole(index);
}

void ZTableWidget::slotCellClicked(int row, int colum)
{
    if (colum == 0 || colum == 1)
        return;
    const int ch = (colum - 3) / 4;
    for (int i = 0; i < rowCount(); ++i) {
        const bool here = i == row;
        paint(i, 2, 2, here && colum == 2 ? QColor(0, 133, 255) : QColor(Qt::white));
        paint(i, 3, 6, here && (colum == 2 || ch == 0) ? QColor(Qt::cyan) : QColor(Qt::white));
        paint(i, 7, 10, here && (colum == 2 || ch == 1) ? QColor(Qt::yellow) : QColor(Qt::white));
    }
}

void ZTableWidget::slotCheckedLine(int index, bool isChecked)
{
    if (index >= 0 && index < rowCount())
        setRowHidden(index, !isChecked);
}

void ZTableWidget::slotChannelChecked(int index, bool isChecked)
{
    if (4 * index + 6 >= columnCount())
        return;
    setColumnHidden(4 * index + 3, !isChecked);
    if (mHasCycle) {
        setColumnHidden(4 * index + 4, !isChecked);
        setColumnHidden(4 * index + 5, !isChecked);
    }
    if (mHasMelt)
        setColumnHidden(4 * index + 6, !isChecked);
}
