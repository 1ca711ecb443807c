#include "ui/results/QuantTables.h"

#include "analysis/Quantification.h"
#include "analysis/ResultText.h"
#include "analysis/SampleResults.h"
#include "analysis/TempData.h"
#include "analysis/CallColour.h"
#include "analysis/QcFlags.h"
#include "ui/records/ReasonDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {
QTableWidget* table(const QStringList& headers, QWidget* parent)
{
    auto* t = new QTableWidget(0, headers.size(), parent);
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

QTableWidgetItem* cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

// The standards table's columns; the exclusion and its reason are what a person changes.
enum StandardColumn { Number, Name, Target, Typed, Ct, BackCalculated, Error, Excluded, Reason };

QString fixedText(double v)
{
    return std::isfinite(v) ? QString::number(v, 'f', 3) : QStringLiteral("-");
}
}

QuantTables::QuantTables(QWidget* parent)
    : QWidget(parent), mCalibrator(new QComboBox(this)), mReferences(new QListWidget(this)),
      mStandards(table({QStringLiteral("孔位"), QStringLiteral("样本名"), QStringLiteral("靶标"), QStringLiteral("定量"),
                        QStringLiteral("Ct"), QStringLiteral("反算定量"), QStringLiteral("偏差"), QStringLiteral("排除"),
                        QStringLiteral("排除原因")}, this)),
      mQuantities(table({QStringLiteral("样本名"), QStringLiteral("类型"), QStringLiteral("靶标"), QStringLiteral("孔位"),
                         QStringLiteral("定量"), QStringLiteral("标准差"), QStringLiteral("单位"), QStringLiteral("结果")}, this)),
      mRelative(table({QStringLiteral("样本名"), QStringLiteral("靶标"), QStringLiteral("方法"), QStringLiteral("倍数变化"),
                       QStringLiteral("标准差"), QStringLiteral("范围")}, this))
{
    mCalibrator->setObjectName("comboBox_Calibrator");
    mReferences->setObjectName("listWidget_References");
    mStandards->setObjectName("tableWidget_Standards");
    mQuantities->setObjectName("tableWidget_Quantities");
    mRelative->setObjectName("tableWidget_Relative");
    mReferences->setFlow(QListView::LeftToRight);
    mReferences->setMaximumHeight(36);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(QStringLiteral("校准样本:"), this));
    choices->addWidget(mCalibrator, 1);
    choices->addWidget(new QLabel(QStringLiteral("内参靶标:"), this));
    choices->addWidget(mReferences, 2);
    layout->addLayout(choices);
    layout->addWidget(new QLabel(QStringLiteral("标准品"), this));
    layout->addWidget(mStandards, 2);
    layout->addWidget(new QLabel(QStringLiteral("定量结果"), this));
    layout->addWidget(mQuantities, 2);
    layout->addWidget(new QLabel(QStringLiteral("相对定量"), this));
    layout->addWidget(mRelative, 1);
    connect(mCalibrator, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] { emitSetup(); });
    connect(mReferences, &QListWidget::itemChanged, this, [this] { emitSetup(); });
    connect(mStandards, &QTableWidget::itemChanged, this, &QuantTables::standardToggled);
}

void QuantTables::setEditable(bool editable)
{
    mCalibrator->setEnabled(editable);
    mReferences->setEnabled(editable);
    mStandards->setEnabled(editable);
}

void QuantTables::setResult(const OutData& data, const TempData& results, const QuantResult& q)
{
    mFilling = true;
    mSetup = data.inData.setup;
    mCalibrator->clear();
    mCalibrator->addItem(QStringLiteral("（无）"), QString());
    for (const QString& name : data.inData.sampleNames)
        if (!name.isEmpty() && mCalibrator->findData(name) < 0)
            mCalibrator->addItem(name, name);
    mCalibrator->setCurrentIndex(qMax(0, mCalibrator->findData(mSetup.calibrator)));
    mReferences->clear();
    QStringList targets;
    for (const TargetInfo& t : results.targets)
        if (!targets.contains(t.Name) && !t.Name.isEmpty())
            targets << t.Name;
    for (const QString& t : targets) {
        auto* item = new QListWidgetItem(t, mReferences);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(mSetup.references.contains(t) ? Qt::Checked : Qt::Unchecked);
    }
    fillStandards(q, results);

    mQuantities->setRowCount(q.samples.size());
    for (int row = 0; row < q.samples.size(); ++row) {
        const QuantSample& s = q.samples[row];
        const QStringList cells = {s.name, RunControls::typeName(s.type), s.target, SampleResults::holeList(s.holes),
                                   ResultText::quantity(s.quantity), ResultText::quantity(s.quantitySd),
                                   s.unit.isEmpty() ? QStringLiteral("-") : RunControls::unitName(s.unit), s.call};
        for (int c = 0; c < cells.size(); ++c)
            mQuantities->setItem(row, c, cell(cells[c]));
        mQuantities->item(row, cells.size() - 1)->setForeground(callColour(s.call));
        // A quantity read off the curve beyond its standards, or off a curve that fails its
        // acceptance, says so beside the number, and why on hover.
        const QStringList marks = s.flags.filter(QRegularExpression("^(outside-standards|curve-failed)$"));
        if (!marks.isEmpty() && std::isfinite(s.quantity)) {
            QTableWidgetItem* quantity = mQuantities->item(row, 4);
            quantity->setText(QStringLiteral("⚠ ") + quantity->text());
            quantity->setToolTip(QcFlags::describeAll(marks));
        }
    }
    mRelative->setRowCount(q.relative.size());
    for (int row = 0; row < q.relative.size(); ++row) {
        const RelativeResult& r = q.relative[row];
        const QStringList cells = {r.invalid ? r.sample + QStringLiteral("（无效）") : r.sample, r.target, ResultText::foldMethod(r.method),
                                   ResultText::fold(r.fold, r.missing), fixedText(r.sd),
                                   std::isfinite(r.foldLow) ? QStringLiteral("%1 - %2").arg(fixedText(r.foldLow), fixedText(r.foldHigh))
                                                            : QStringLiteral("-")};
        for (int c = 0; c < cells.size(); ++c)
            mRelative->setItem(row, c, cell(cells[c]));
    }
    mFilling = false;
}

void QuantTables::fillStandards(const QuantResult& q, const TempData& results)
{
    mStandardCurves.clear();
    mStandards->setRowCount(0);
    for (const QuantCurve& c : q.curves)
        for (int w = 0; w < c.wells.size(); ++w) {
            const ResultRow& row = c.wells[w];
            const StandardCheck& check = c.checks[w];
            const int s = row.curveIndex;
            const int r = mStandards->rowCount();
            const QString unit = ' ' + RunControls::unitName(c.unit);
            mStandards->insertRow(r);
            mStandards->setItem(r, Number, cell(QString::number(row.number)));
            mStandards->setItem(r, Name, cell(row.sampleName));
            mStandards->setItem(r, Target, cell(c.target));
            mStandards->setItem(r, Typed, cell(ResultText::quantity(check.quantity) + unit));
            mStandards->setItem(r, Ct, cell(results.positives[s] ? ResultText::ct(results.ctValues[s]) : QStringLiteral("-")));
            mStandards->setItem(r, BackCalculated, cell(std::isfinite(check.backCalculated) ? ResultText::quantity(check.backCalculated) + unit
                                                                                         : QStringLiteral("-")));
            mStandards->setItem(r, Error, cell(std::isfinite(check.error) ? QStringLiteral("%1%").arg(check.error, 0, 'f', 1) : QStringLiteral("-")));
            auto* left = cell(QString());
            left->setFlags(left->flags() | Qt::ItemIsUserCheckable);
            left->setCheckState(mSetup.excludedWells.contains(s) ? Qt::Checked : Qt::Unchecked);
            mStandards->setItem(r, Excluded, left);
            mStandards->setItem(r, Reason, cell(mSetup.excludedWells.value(s)));
            mStandardCurves << s;
        }
}

void QuantTables::standardToggled(QTableWidgetItem* item)
{
    if (mFilling || item->column() != Excluded)
        return;
    QString reason;
    if (item->checkState() == Qt::Checked) {
        // The reason asked here is the one the trail keeps: a person says it once.
        const int row = item->row();
        const QString question = QStringLiteral("排除标准品 孔位%1（%2 %3）的原因")
                                     .arg(mStandards->item(row, Number)->text(), mStandards->item(row, Name)->text(), mStandards->item(row, Target)->text());
        mFilling = true;
        if (ReasonDialog::ask(this, question, reason))
            mStandards->item(row, Reason)->setText(reason);
        else
            item->setCheckState(Qt::Unchecked);
        mFilling = false;
        if (reason.isEmpty())
            return;
    }
    emitSetup(reason);
}

void QuantTables::emitSetup(const QString& reason)
{
    if (mFilling)
        return;
    RunSetup setup = mSetup;
    setup.calibrator = mCalibrator->currentData().toString();
    setup.references.clear();
    for (int i = 0; i < mReferences->count(); ++i)
        if (mReferences->item(i)->checkState() == Qt::Checked)
            setup.references << mReferences->item(i)->text();
    setup.excludedWells.clear();
    for (int r = 0; r < mStandards->rowCount() && r < mStandardCurves.size(); ++r)
        if (mStandards->item(r, Excluded) && mStandards->item(r, Excluded)->checkState() == Qt::Checked) {
            const QString why = mStandards->item(r, Reason) ? mStandards->item(r, Reason)->text().trimmed() : QString();
            setup.excludedWells.insert(mStandardCurves[r], why);
        }
    if (setup == mSetup)
        return;
    mSetup = setup;
    emit setupChanged(setup, reason);
}
