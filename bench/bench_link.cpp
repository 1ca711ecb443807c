// Four modules running the short method at 100 ms a step, one of them falling silent in the
// middle of a fluorescence reading: how late the window's event loop gets (a 10 ms timer on the
// GUI thread) and the longest pause between the healthy modules' requests, against the longest
// pause the method itself makes, with a modal question held open for 10 s meanwhile. Offscreen,
// about 40 s.
#include "bench/BenchSim.h"
#include "bench/OffscreenMain.h"
#include "instrument/ListenInterface.h"
#include "instrument/Machine.h"
#include "method/JsonControl.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int StepMs = 100;
constexpr int SilentModule = 4;
// Module 4's 20th position request: position 7 of its first cycle reading.
constexpr int SilentAt = 20;

// The longest stretch of the method without a request, in steps.
int longestQuietSteps(const SMethod& method)
{
    int longest = 0, quiet = 0;
    for (const ControlElement& e : method.getAllRunCmd()) {
        quiet = e.kind == DELAY ? quiet + 1 : 0;
        longest = std::max(longest, quiet + 1);
    }
    return longest;
}

void BM_SilentModuleInAReading(benchmark::State& state)
{
    BenchSim sim({"--speed", "10", "--silent-module", QString::number(SilentModule), "--silent-in-reading",
                  QString::number(SilentAt)});
    if (!sim.started())
        return state.SkipWithError("no simulator");
    SMethod method;
    if (!JsonControl().openJsonMethod(TAMARIN_SOURCE_DIR "/methods/short-demo.json", method))
        return state.SkipWithError("no method");
    Machine machine(StepMs / 4, 20);
    ListenInterface listen(&machine);
    QSignalSpy states(&listen, &ListenInterface::signalMachineData);
    if (!states.wait(10000) || !states.last().first().value<MachineData>().isOpen)
        return state.SkipWithError("the simulator does not answer");

    QVector<qint64> lateness;
    for (auto _ : state) {
        for (int module = 1; module <= 4; ++module)
            machine.run(method, nullptr, module);
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        QTimer beat;
        beat.setTimerType(Qt::PreciseTimer);
        QObject::connect(&beat, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            lateness << std::max<qint64>(0, now - last - 10);
            last = now;
        });
        beat.start(10);
        // A question held open 10 s on the window's thread while module 4 is silent.
        QTimer::singleShot(5000, [] {
            QDialog question;
            QTimer::singleShot(10000, &question, &QDialog::accept);
            question.exec();
        });
        QEventLoop loop;
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        loop.exec();
        beat.stop();
        for (int module = 1; module <= 4; ++module)
            machine.stop(module);
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // The silence starts at module 4's SilentAt-th position request; the healthy modules' gaps
    // are measured from there to the end of the 30 s.
    const QVector<BenchSim::Request> requests = sim.requests();
    qint64 silentFrom = -1, end = 0;
    int positions = 0;
    for (const BenchSim::Request& r : requests) {
        if (r.module == SilentModule && r.code == 0xC2 && ++positions == SilentAt)
            silentFrom = r.ms;
        end = std::max(end, r.ms);
    }
    qint64 gap = 0;
    for (int module = 1; module <= 3; ++module) {
        qint64 previous = silentFrom;
        for (const BenchSim::Request& r : requests)
            if (r.module == module && r.ms > silentFrom && r.ms <= silentFrom + 20000) {
                gap = std::max(gap, r.ms - previous);
                previous = r.ms;
            }
    }
    std::sort(lateness.begin(), lateness.end());
    state.counters["loop_max_ms"] = lateness.isEmpty() ? 0 : double(lateness.last());
    state.counters["loop_p99_ms"] = lateness.isEmpty() ? 0 : double(lateness[int(lateness.size() * 0.99)]);
    state.counters["healthy_gap_ms"] = silentFrom < 0 ? -1 : double(gap);
    state.counters["own_pause_ms"] = longestQuietSteps(method) * StepMs;
}
BENCHMARK(BM_SilentModuleInAReading)->Iterations(1)->Unit(benchmark::kSecond);

}

TAMARIN_OFFSCREEN_BENCHMARK_MAIN()
