#include "method/TargetInfo.h"

bool TargetInfo::operator==(const TargetInfo& o) const
{
    return Name == o.Name && AutoThreshold == o.AutoThreshold && Threshold == o.Threshold
        && AutoRange == o.AutoRange && Start == o.Start && End == o.End
        && BorderThreshold == o.BorderThreshold && CtThreshold == o.CtThreshold;
}
