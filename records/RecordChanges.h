#pragma once

#include <QString>
#include <QVector>

class OutData;

// One change a person made to a record, as the audit trail keeps it.
struct RecordChange
{
    QString action;   // 修改分析设置, 修改样本, 修改定量设置, 替换读数, 替换方法, 修改备注
    QString what;     // which setting of which target, sample or holes
    QString oldValue;
    QString newValue;
};

// What differs between two states of one record, one entry per setting and value pair: a change
// made for a whole channel is one entry that names its holes.
namespace RecordChanges {

QVector<RecordChange> between(const OutData& before, const OutData& after);

}
