// The experiment file reader, and the analysis a review page runs on what it accepts.
#include "FuzzInput.h"
#include "analysis/TempData.h"
#include "files/OutData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    OutData record;
    if (record.openAs(FuzzInput::file(data, size, ".pcrd")) == 0 && record.inData.method.Hole > 0)
        TempData results(record);
    return 0;
}
