// The method file reader, the update's version file reader, and the program check a read method
// must pass before it reaches the heaters.
#include "FuzzInput.h"
#include "method/JsonControl.h"
#include "method/ProgramCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = FuzzInput::file(data, size, ".json");
    SMethod method;
    if (JsonControl().openJsonMethod(path, method))
        programFault(method);
    AppVersionInfo info;
    JsonControl().openAppVersion(path, info);
    return 0;
}
