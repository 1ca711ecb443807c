// The three automatic-threshold choices on dilution series: one threshold per curve (10 x its own
// baseline SD), one per channel on the plate, the shipped fixed 100, and the best common threshold
// found by search. Each plate is one gene's series: five ten-fold dilutions (1.5e6 to 150 copies)
// in triplicate, 40 cycles, at this instrument's signal levels (baselines of 400 to 1500 on a
// 0.1 grid, plateaus of 1500 to 3500, wells with their own noise and drift, Poisson copy numbers).
// Prints per method the median replicate Ct SD at >= 1,500 copies, the RMS residual of the
// standard curves, and the clear amplifications left without a Ct; as generated, and scaled to
// the top of the instrument's range.
#include "analysis/CurveWindow.h"
#include "analysis/TempData.h"
#include "tests/Synthetic.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr int Genes = 64;
constexpr int Dilutions = 5;
constexpr int Replicates = 3;
constexpr double TopCopies = 1.5e6;

struct Plate
{
    OutData data;
    QVector<int> holes;     // per well, 1-based
    QVector<double> copies; // per well
};

Plate dilutionSeries(std::mt19937& rng)
{
    auto uniform = [&rng](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    Plate p;
    p.data = Synthetic::experiment(40, false);
    SMethod& m = p.data.inData.method;
    m.SampleNumber = Dilutions;
    m.sampleHoleMap.clear();
    const double efficiency = uniform(1.85, 1.98);
    const double plateau = uniform(1500, 3500);
    const double saturation = 1e11; // molecules at half the plateau
    for (int d = 0; d < Dilutions; ++d)
        for (int k = 0; k < Replicates; ++k) {
            const int hole = 1 + d * Replicates + k;
            const double copies = TopCopies / std::pow(10, d);
            m.sampleHoleMap[d].append(hole);
            p.holes << hole;
            p.copies << copies;
            const double n0 = std::max(1.0, double(std::poisson_distribution<long>(copies)(rng)));
            const double amplitude = plateau * uniform(0.9, 1.1);
            const double base = uniform(400, 1500), drift = uniform(-1, 2);
            std::lognormal_distribution<double> noiseSd(std::log(2.0), 0.5);
            std::normal_distribution<double> noise(0, noiseSd(rng));
            Curve c;
            for (int x = 1; x <= 40; ++x) {
                const double n = n0 * std::pow(efficiency, x);
                const double y = base + drift * x + amplitude * n / (n + saturation) + noise(rng);
                c.append(QPointF(x, std::round(y * 10) / 10));
            }
            p.data.pdLines[2 * (hole - 1)] = c;
        }
    return p;
}

void setThreshold(OutData& d, int mode, double value)
{
    for (int h = 0; h < d.inData.method.Hole; ++h) {
        TargetInfo t = d.targetOf(2 * h);
        t.AutoThreshold = mode;
        t.Threshold = value;
        t.AutoRange = 1;
        d.setTargetInfo(t, 2 * h, false);
    }
}

struct Figures
{
    QVector<double> sds;       // per dilution with >= 1500 copies
    QVector<double> residuals; // standard curve residuals
    int missing = 0;           // wells that amplified without a Ct
};

void measure(const Plate& p, Figures& f)
{
    const TempData r(p.data);
    QVector<double> x, y;
    for (int d = 0; d < Dilutions; ++d) {
        QVector<double> cts;
        for (int k = 0; k < Replicates; ++k) {
            const int w = d * Replicates + k;
            const double ct = r.ctValues[2 * (p.holes[w] - 1)];
            if (ct == 0) {
                ++f.missing;
                continue;
            }
            cts << ct;
            x << std::log10(p.copies[w]);
            y << ct;
        }
        if (cts.size() >= 2 && p.copies[d * Replicates] >= 1500)
            f.sds << CurveWindow::sd(cts);
    }
    double slope = 0, intercept = 0;
    Curve points;
    for (int i = 0; i < x.size(); ++i)
        points.append(QPointF(x[i], y[i]));
    if (p.data.linear(points, slope, intercept))
        for (int i = 0; i < x.size(); ++i)
            f.residuals << y[i] - (slope * x[i] + intercept);
}

double rms(const QVector<double>& v)
{
    double s = 0;
    for (double e : v)
        s += e * e;
    return v.isEmpty() ? 0 : std::sqrt(s / v.size());
}

// The common threshold with the least median replicate SD, searched on a log grid.
double bestCommon(Plate p)
{
    double best = 0, bestSd = 1e9;
    for (double t = 20; t <= 1500; t *= 1.1) {
        setThreshold(p.data, 0, t);
        Figures f;
        measure(p, f);
        const double sd = CurveWindow::median(f.sds) + (f.missing > 0 ? 1e6 : 0);
        if (sd < bestSd) {
            bestSd = sd;
            best = t;
        }
    }
    return best;
}

// The plate multiplied so that its largest reading is peak, on the instrument's 0.1 grid: the
// top of its range, where the steepest rises are.
void scaleTo(Plate& p, double peak)
{
    double top = 0;
    for (const Curve& c : p.data.pdLines)
        for (const QPointF& q : c)
            top = std::max(top, q.y());
    for (Curve& c : p.data.pdLines)
        for (QPointF& q : c)
            q.setY(std::round(q.y() * peak / top * 10) / 10);
}

void BM_ThresholdModes(benchmark::State& state)
{
    std::mt19937 rng(20261207);
    QVector<Plate> plates;
    for (int g = 0; g < Genes; ++g) {
        plates << dilutionSeries(rng);
        if (state.range(0) > 0)
            scaleTo(plates.last(), double(state.range(0)));
    }
    for (auto _ : state) {
        const char* names[] = {"per_curve", "plate", "fixed100", "best_common"};
        for (int method = 0; method < 4; ++method) {
            Figures f;
            for (Plate p : plates) {
                if (method == 3)
                    setThreshold(p.data, 0, bestCommon(p));
                else
                    setThreshold(p.data, method == 0 ? 1 : method == 1 ? 2 : 0, 100);
                measure(p, f);
            }
            state.counters[std::string(names[method]) + "_sd"] = CurveWindow::median(f.sds);
            state.counters[std::string(names[method]) + "_rms"] = rms(f.residuals);
            state.counters[std::string(names[method]) + "_noCt"] = f.missing;
        }
    }
}
// As generated, and with each plate's largest reading at 6000 and 6500 of 6553.5.
BENCHMARK(BM_ThresholdModes)->Arg(0)->Arg(6000)->Arg(6500)->Iterations(1)->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
