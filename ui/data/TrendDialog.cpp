#include "ui/data/TrendDialog.h"

#include "analysis/ResultText.h"
#include "records/RecordSession.h"
#include "ui/records/RecordActions.h"
#include "ui_TrendDialog.h"

#include <QHeaderView>

#include <cmath>

namespace {
// What each rule means, as a person reads it beside the run that broke it.
QString ruleText(const QString& rule)
{
    static const QMap<QString, QString> texts = {{"1-3s", QStringLiteral("超出均值±3SD")},
                                                 {"2-2s", QStringLiteral("连续2次同侧超出2SD")},
                                                 {"R-4s", QStringLiteral("相邻2次相差超过4SD")},
                                                 {"4-1s", QStringLiteral("连续4次同侧超出1SD")},
                                                 {"10-x", QStringLiteral("连续10次在均值同侧")},
                                                 {"no-ct", QStringLiteral("对照无Ct")}};
    return rule + QStringLiteral("：") + texts.value(rule);
}
}

TrendDialog::TrendDialog(QWidget* parent) : QDialog(parent), ui(new Ui::TrendDialog)
{
    ui->setupUi(this);
    QVector<QPair<QString, QString>> pairs;
    QString fault;
    const bool read = RecordActions::ask([&](RecordSession& s) {
        const bool ok = s.results().trendable(pairs);
        fault = s.results().fault();
        return ok;
    });
    if (!read)
        ui->label_Fault->setText(QStringLiteral("记录库无法读取：") + fault);
    else if (pairs.isEmpty())
        ui->label_Fault->setText(QStringLiteral("索引中还没有结果；可用 tamarin-cli index rebuild 从实验文件建立"));
    for (const auto& [sample, target] : pairs)
        ui->comboBox_Control->addItem(sample + QStringLiteral(" / ") + target, QStringList{sample, target});
    const QDate today = QDate::currentDate();
    ui->dateEdit_From->setDate(today.addMonths(-1));
    ui->dateEdit_To->setDate(today);
    for (QWidget* w : {static_cast<QWidget*>(ui->dateEdit_From), static_cast<QWidget*>(ui->dateEdit_To)})
        w->setEnabled(false);
    ui->tableWidget_Violations->setColumnCount(4);
    ui->tableWidget_Violations->setHorizontalHeaderLabels({QStringLiteral("实验"), QStringLiteral("时间"), QStringLiteral("Ct"), QStringLiteral("违反规则")});
    ui->tableWidget_Violations->verticalHeader()->hide();
    ui->tableWidget_Violations->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->tableWidget_Violations->horizontalHeader()->setStretchLastSection(true);
    connect(ui->comboBox_Control, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TrendDialog::showTrend);
    connect(ui->checkBox_Period, &QCheckBox::toggled, this, [this](bool on) {
        ui->dateEdit_From->setEnabled(on);
        ui->dateEdit_To->setEnabled(on);
        showTrend();
    });
    connect(ui->dateEdit_From, &QDateEdit::dateChanged, this, &TrendDialog::showTrend);
    connect(ui->dateEdit_To, &QDateEdit::dateChanged, this, &TrendDialog::showTrend);
    connect(ui->pushButton_Close, &QPushButton::clicked, this, &QDialog::accept);
    showTrend();
}

TrendDialog::~TrendDialog()
{
    delete ui;
}

void TrendDialog::showTrend()
{
    const QStringList chosen = ui->comboBox_Control->currentData().toStringList();
    if (chosen.size() != 2)
        return;
    QVector<ControlTrend::Point> points;
    QString fault;
    const bool read = RecordActions::ask([&](RecordSession& s) {
        const bool ok = s.results().trend(chosen[0], chosen[1], points);
        fault = s.results().fault();
        return ok;
    });
    if (!read) {
        ui->label_Fault->setText(QStringLiteral("记录库无法读取：") + fault);
        return;
    }
    const bool period = ui->checkBox_Period->isChecked();
    const ControlTrend t = period ? ControlTrend::of(points, QDateTime(ui->dateEdit_From->date(), QTime(0, 0)),
                                                     QDateTime(ui->dateEdit_To->date().addDays(1), QTime(0, 0)).addMSecs(-1))
                                  : ControlTrend::of(points);
    ui->label_Stats->setText(std::isfinite(t.sd) ? QStringLiteral("均值 %1，标准差 %2，来自%3%4次运行；共%5次运行，%6处违反规则")
                                                       .arg(ResultText::ct(t.mean), ResultText::ct(t.sd), period ? QStringLiteral("基线期的") : QStringLiteral("最早的"))
                                                       .arg(t.baseline)
                                                       .arg(t.points.size())
                                                       .arg(t.violations.size())
                                                 : QStringLiteral("基线中有Ct的运行不足2次，无法计算标准差（共%1次运行）").arg(t.points.size()));
    ui->chartView_Trend->setTrend(t, ui->comboBox_Control->currentText());
    QTableWidget* table = ui->tableWidget_Violations;
    table->setRowCount(t.violations.size());
    for (int r = 0; r < t.violations.size(); ++r) {
        const ControlTrend::Point& p = t.points[t.violations[r].point];
        const QStringList cells = {p.experiment, p.time.toLocalTime().toString("yyyy-MM-dd HH:mm"), ResultText::ct(p.ct), ruleText(t.violations[r].rule)};
        for (int c = 0; c < cells.size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
}
