// Analysis and file opening at the size of a full chip: 26 holes, 2 channels, 40 cycle readings
// and 71 melt readings per curve; curve smoothing at lengths a damaged file might claim.
#include "analysis/TempData.h"
#include "tests/Synthetic.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

OutData fullChip()
{
    OutData d = Synthetic::experiment(40, true);
    for (int s = 0; s < 52; ++s) {
        const bool positive = s % 3 == 0;
        d.pdLines[s] = Synthetic::amplification(40, positive ? 2500 : 0, 20 + s % 10, 1.6, quint32(s))
            + Synthetic::melt(60, 71, 75 + s % 10, 2000, 1, 41);
    }
    return d;
}

void BM_TempDataFullChip(benchmark::State& state)
{
    const OutData d = fullChip();
    for (auto _ : state) {
        TempData r(d);
        benchmark::DoNotOptimize(r.ctValues.data());
    }
}
BENCHMARK(BM_TempDataFullChip)->Unit(benchmark::kMillisecond);

void BM_OpenPcrdFullChip(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("full.pcrd");
    fullChip().saveAsFilePath(path);
    for (auto _ : state) {
        OutData d;
        benchmark::DoNotOptimize(d.openAs(path));
    }
}
BENCHMARK(BM_OpenPcrdFullChip)->Unit(benchmark::kMicrosecond);

void BM_SavePcrdFullChip(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("full.pcrd");
    const OutData d = fullChip();
    for (auto _ : state)
        benchmark::DoNotOptimize(d.saveAsFilePath(path));
}
BENCHMARK(BM_SavePcrdFullChip)->Unit(benchmark::kMicrosecond);

// Step removal on a long, jumpy curve: the cost must grow with its length, not its square.
void BM_SmoothJumpyCurve(benchmark::State& state)
{
    Curve c;
    for (int x = 1; x <= state.range(0); ++x)
        c.append(QPointF(x, x % 2 ? 500 : 600));
    const OutData d;
    for (auto _ : state)
        benchmark::DoNotOptimize(d.smooth(c, 20).data());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SmoothJumpyCurve)->Range(1000, 200000)->Complexity()->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
