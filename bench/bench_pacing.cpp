// Four modules of the simulated instrument at the real pace (a step a second each), with a modal
// dialog standing open for a minute in the middle: the wall time each module spends on a step.
// TAMARIN_BENCH_MINUTES sets the length (10 by default). Offscreen.
#include "bench/BenchSim.h"
#include "bench/OffscreenMain.h"
#include "instrument/Machine.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

void BM_FourModulesWithADialog(benchmark::State& state)
{
    const int minutes = qEnvironmentVariableIsSet("TAMARIN_BENCH_MINUTES") ? qEnvironmentVariableIntValue("TAMARIN_BENCH_MINUTES") : 10;
    const bool dialog = state.range(0) != 0;
    BenchSim sim({});
    if (!sim.started())
        return state.SkipWithError("no simulator");

    Machine machine(250, 20);
    if (!machine.getMachineData().isOpen)
        return state.SkipWithError("the simulator does not answer");
    ControlElement reading;
    reading.kind = GET_TEMP;
    QStack<ControlElement> steps;
    steps.fill(reading, minutes * 60);
    QVector<qint64> first(5, -1), last(5, -1);
    QVector<int> reports(5, 0);
    QElapsedTimer clock;
    int finished = 0;
    QEventLoop done;
    QObject::connect(&machine, &Machine::signalConnectData, [&](const ConnectData& data) {
        const int m = data.pcrIndex;
        if (first[m] < 0)
            first[m] = clock.elapsed();
        last[m] = clock.elapsed();
        ++reports[m];
    });
    QObject::connect(&machine, &Machine::signalReactInfo, [&] {
        if (++finished == 4)
            done.quit();
    });
    for (auto _ : state) {
        clock.start();
        for (int module = 1; module <= 4; ++module)
            machine.play(steps, SMethod(), nullptr, module);
        if (dialog)
            QTimer::singleShot(minutes * 30000 - 30000, [] {
                QDialog open;
                QTimer::singleShot(60000, &open, &QDialog::accept);
                open.exec();
            });
        done.exec();
    }
    for (int module = 1; module <= 4; ++module)
        state.counters[QString("s_per_step_%1").arg(module).toStdString()] =
            reports[module] > 1 ? (last[module] - first[module]) / 1000.0 / (reports[module] - 1) : 0;
}
BENCHMARK(BM_FourModulesWithADialog)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

}

TAMARIN_OFFSCREEN_BENCHMARK_MAIN()
