#include "method/TargetInfo.h"

bool TargetInfo::operator==(const TargetInfo& o) const
{
    return Name == o.Name && AutoThreshold == o.AutoThreshold && Threshold == o.Threshold
        && AutoRange == o.AutoRange && Start == o.Start && End == o.End
        && BorderThreshold == o.BorderThreshold && CtThreshold == o.CtThreshold;
}

TargetInfo TargetInfo::forNewMethod()
{
    return TargetInfo{QString(), 2, 100.0, 1, 3, 15, 100.0, 0.0};
}
