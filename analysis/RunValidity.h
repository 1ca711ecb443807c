#pragma once

#include <QMap>
#include <QStringList>
#include <QVector>

class OutData;
class TempData;

// Whether a run's controls came out as its method's control rules require. A negative control
// (no-template, no-amplification or negative extraction) that amplifies makes every sample's call
// invalid, by default for every target but the internal control, unless a rule for the target
// says otherwise; a positive control without its Ct, or outside its range, makes the negatives
// invalid; an internal control outside its Ct range makes its own sample invalid; a rule whose
// control is not on the chip makes the run invalid ("缺少对照").
struct RunValidity
{
    bool valid = true;
    QStringList reasons;           // what failed, with its holes ("阴性对照扩增：孔位 3,4")
    bool samplesInvalid = false;
    bool negativesInvalid = false;
    QMap<int, QVector<int>> controlOutOfRange; // sample -> running numbers of its holes

    static RunValidity of(const OutData& data, const TempData& results);
};
