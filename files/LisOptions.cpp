#include "files/LisOptions.h"

#include "app/Settings.h"

LisOptions LisOptions::from(const Settings& s)
{
    return {s.getLisFolder(), s.getLisFacility(), s.getLisReceivingApplication(), s.getLisReceivingFacility(),
            s.getLisSendAfterRun(), s.getLisSendIncomplete()};
}
