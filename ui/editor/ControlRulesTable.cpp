#include "ui/editor/ControlRulesTable.h"

#include <QHeaderView>

namespace {
enum Column { Target, Ntc, NtcMax, PosLow, PosHigh, IcLow, IcHigh, EffLow, EffHigh, R2Low, Columns };

QString limit(double v)
{
    return v > 0 ? QString::number(v) : QString();
}
}

ControlRulesTable::ControlRulesTable(QWidget* parent) : QTableWidget(0, Columns, parent)
{
    // Two lines each, so that every heading reads whole beside ten columns.
    setHorizontalHeaderLabels({QStringLiteral("靶标"), QStringLiteral("阴性对照\n不得扩增"), QStringLiteral("阴性对照\n可接受Ct>"),
                               QStringLiteral("阳性对照\nCt下限"), QStringLiteral("阳性对照\nCt上限"), QStringLiteral("内参\nCt下限"),
                               QStringLiteral("内参\nCt上限"), QStringLiteral("标准曲线\n效率下限%"), QStringLiteral("标准曲线\n效率上限%"),
                               QStringLiteral("标准曲线\nR²下限")});
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void ControlRulesTable::setMethod(const SMethod& method)
{
    QStringList targets;
    for (const TargetInfos& hole : method.holeTargets)
        for (const QString& name : hole.names)
            if (!name.isEmpty() && !targets.contains(name))
                targets << name;
    for (const ControlRule& r : method.controlRules)
        if (!targets.contains(r.target))
            targets << r.target;
    setRowCount(targets.size());
    for (int row = 0; row < targets.size(); ++row) {
        ControlRule rule;
        for (const ControlRule& r : method.controlRules)
            if (r.target == targets[row])
                rule = r;
        auto* name = new QTableWidgetItem(targets[row]);
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        setItem(row, Target, name);
        auto* ntc = new QTableWidgetItem;
        ntc->setFlags((ntc->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
        ntc->setCheckState(rule.checkNtc ? Qt::Checked : Qt::Unchecked);
        setItem(row, Ntc, ntc);
        const double values[] = {rule.ntcMaxCt, rule.posCtLow, rule.posCtHigh, rule.icCtLow, rule.icCtHigh};
        for (int c = NtcMax; c <= IcHigh; ++c)
            setItem(row, c, new QTableWidgetItem(limit(values[c - NtcMax])));
        CurveAcceptance accepted{targets[row]};
        for (const CurveAcceptance& a : method.acceptances)
            if (a.target == targets[row])
                accepted = a;
        setItem(row, EffLow, new QTableWidgetItem(QString::number(100 * accepted.efficiencyLow)));
        setItem(row, EffHigh, new QTableWidgetItem(QString::number(100 * accepted.efficiencyHigh)));
        setItem(row, R2Low, new QTableWidgetItem(QString::number(accepted.r2Low)));
    }
    // Every target in sight without scrolling, up to a few.
    const int rows = qMin(rowCount(), 4);
    setFixedHeight(horizontalHeader()->sizeHint().height() + rows * verticalHeader()->defaultSectionSize() + 2 * frameWidth() + 2);
}

bool ControlRulesTable::rules(QVector<ControlRule>& out, QVector<CurveAcceptance>& acceptances, QString& fault) const
{
    QVector<ControlRule> rules;
    QVector<CurveAcceptance> accepted;
    for (int row = 0; row < rowCount(); ++row) {
        ControlRule r;
        r.target = item(row, Target)->text();
        r.checkNtc = item(row, Ntc)->checkState() == Qt::Checked;
        double* fields[] = {&r.ntcMaxCt, &r.posCtLow, &r.posCtHigh, &r.icCtLow, &r.icCtHigh};
        for (int c = NtcMax; c <= IcHigh; ++c) {
            const QString text = item(row, c) ? item(row, c)->text().trimmed() : QString();
            bool ok = true;
            *fields[c - NtcMax] = text.isEmpty() ? 0 : text.toDouble(&ok);
            if (!ok || *fields[c - NtcMax] < 0 || *fields[c - NtcMax] > 100) {
                fault = QStringLiteral("质控规则中靶标%1的“%2”不是0到100之间的Ct。").arg(r.target, horizontalHeaderItem(c)->text().remove(QLatin1Char('\n')));
                return false;
            }
        }
        if ((r.posCtHigh > 0 && r.posCtLow > r.posCtHigh) || (r.icCtHigh > 0 && r.icCtLow > r.icCtHigh)) {
            fault = QStringLiteral("质控规则中靶标%1的Ct下限高于上限。").arg(r.target);
            return false;
        }
        // A row without any check is no rule.
        if (r.checkNtc || r.posCtHigh > 0 || r.icCtHigh > 0)
            rules << r;
        CurveAcceptance a{r.target};
        if (!acceptance(row, a, fault))
            return false;
        if (!a.isDefault())
            accepted << a;
    }
    out = rules;
    acceptances = accepted;
    return true;
}

bool ControlRulesTable::acceptance(int row, CurveAcceptance& a, QString& fault) const
{
    const auto number = [this, row](int column, double& value) {
        bool ok = false;
        value = item(row, column) ? item(row, column)->text().trimmed().toDouble(&ok) : 0;
        return ok;
    };
    double low = 0, high = 0, r2 = 0;
    const bool numbers = number(EffLow, low) && number(EffHigh, high) && number(R2Low, r2);
    a.efficiencyLow = low / 100;
    a.efficiencyHigh = high / 100;
    a.r2Low = r2;
    if (!numbers || !CurveAcceptance::sound(a)) {
        fault = QStringLiteral("质控规则中靶标%1的标准曲线验收须为：效率下限50–100%，上限100–150%，R²下限0.8–1。").arg(a.target);
        return false;
    }
    return true;
}
