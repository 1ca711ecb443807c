// The sample sheet reader behind "导入样本表" and run --sample-sheet: a CSV a person prepared,
// fitted to a two-sample layout of 26 holes.
#include "FuzzInput.h"
#include "files/SampleSheet.h"
#include "method/SMethod.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const SMethod method = [] {
        SMethod m;
        m.Name = "fuzz";
        m.SampleNumber = 2;
        m.Hole = 26;
        m.ChannelColor = 2;
        for (int hole = 3; hole <= 26; ++hole)
            m.sampleHoleMap[hole <= 14 ? 0 : 1].append(hole);
        return m;
    }();
    QString error;
    SampleSheet().read(FuzzInput::file(data, size, ".csv"), method, error);
    return 0;
}
