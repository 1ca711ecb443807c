#pragma once

#include "method/RunControls.h"
#include "method/SMethod.h"

#include <QTableWidget>

// A method's control rules, a target to a row: whether negative controls must stay without a Ct
// (and above which Ct one is still accepted), the positive control's Ct range and the internal
// control's. An empty cell is no limit.
class ControlRulesTable : public QTableWidget
{
    Q_OBJECT
public:
    explicit ControlRulesTable(QWidget* parent = nullptr);

    // A row for every target of the method, with its rule where it has one.
    void setMethod(const SMethod& method);
    // The rules as entered; false with the reason when a value is no Ct from 0 to 100 or a range
    // is upside down.
    bool rules(QVector<ControlRule>& out, QString& fault) const;
};
