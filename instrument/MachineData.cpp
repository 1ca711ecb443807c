#include "instrument/MachineData.h"

bool MachineData::hasPcrModel() const
{
    for (quint8 m : pcrModels)
        if (m != 0)
            return true;
    return false;
}
