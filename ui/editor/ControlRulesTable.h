#pragma once

#include "method/RunControls.h"
#include "method/SMethod.h"

#include <QTableWidget>

// A method's control rules, a target to a row: whether negative controls must stay without a Ct
// (and above which Ct one is still accepted), the positive control's Ct range and the internal
// control's. An empty cell is no limit. Beside them, what the target's standard curve must meet
// (efficiency in percent and R²), filled with the usual acceptance until a lab changes it.
class ControlRulesTable : public QTableWidget
{
    Q_OBJECT
public:
    explicit ControlRulesTable(QWidget* parent = nullptr);

    // A row for every target of the method, with its rule where it has one.
    void setMethod(const SMethod& method);
    // The rules and acceptances as entered; false with the reason when a value is no Ct from 0 to
    // 100, no efficiency or R², or a range is upside down.
    bool rules(QVector<ControlRule>& out, QVector<CurveAcceptance>& acceptances, QString& fault) const;

private:
    bool acceptance(int row, CurveAcceptance& a, QString& fault) const;
};
