#include "ui/results/SampleTable.h"

#include "analysis/QcFlags.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "analysis/CallColour.h"

#include <QHeaderView>
#include <QStyle>

SampleTable::SampleTable(QWidget* parent) : QTableWidget(parent)
{
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    setColumnCount(SampleResults::headers().size());
    setHorizontalHeaderLabels(SampleResults::headers());
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);
}

void SampleTable::setOutData(const OutData& data, const TempData& results)
{
    const QVector<SampleResult> samples = SampleResults::of(data, results);
    const int callColumn = SampleResults::headers().indexOf(QStringLiteral("结果"));
    const int flagColumn = SampleResults::headers().indexOf(QStringLiteral("质控标记"));
    clearContents();
    setRowCount(samples.size());
    for (int row = 0; row < samples.size(); ++row) {
        const QStringList cells = SampleResults::cells(samples[row], data.inData.method.ChannelNames);
        for (int c = 0; c < cells.size() && c < columnCount(); ++c) {
            auto* cell = new QTableWidgetItem(cells[c]);
            cell->setTextAlignment(Qt::AlignCenter);
            if (c == callColumn)
                cell->setForeground(callColour(cells[c]));
            setItem(row, c, cell);
        }
        if (!samples[row].flags.isEmpty() && item(row, flagColumn)) {
            item(row, flagColumn)->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
            item(row, flagColumn)->setToolTip(QcFlags::describeAll(samples[row].flags));
        }
    }
}
