#pragma once

#include "analysis/TempData.h"
#include "tests/Synthetic.h"

#include <cmath>
#include <random>

// Pairs of chips with the same curves, once clean and once with one artifact per curve as real
// chips give them: a step of 50 to 300 units at one cycle in the baseline (a bubble leaving, the
// lid settling) or on the plateau, or one reading or two in a row far off (an electrical spike).
// The curves are at this instrument's levels; a third amplify, and one in six has a perfectly
// straight, noise-free baseline. Both chips are analysed with the same target settings and
// compared curve by curve.
namespace ArtifactPairs {

struct Figures
{
    int negatives = 0, amplifications = 0;
    int cleanWrong = 0;     // clean curves called against their truth
    int falsePositives = 0; // curves without amplification called positive with their artifact
    int lost = 0;           // amplifications positive clean, negative with their artifact
    int shifted = 0;        // amplifications whose Ct moved by more than half a cycle
    int flagged = 0;        // artifact curves flagged spike or jump
    int cleanFlagged = 0;   // clean curves flagged so
};

struct Pair
{
    OutData clean, artifact;
    QVector<bool> amplifies; // per curve index
};

// A chip of 40 cycles, one sample in all 26 holes, both channels analysed with target.
inline OutData chip(const TargetInfo& target)
{
    OutData d = Synthetic::experiment(40, false);
    SMethod& m = d.inData.method;
    m.SampleNumber = 1;
    m.sampleHoleMap.clear();
    for (int h = 1; h <= 26; ++h) {
        m.sampleHoleMap[0].append(h);
        m.holeTargets[h - 1] = TargetInfos();
        m.holeTargets[h - 1].append(target);
        m.holeTargets[h - 1].append(target);
    }
    return d;
}

inline Pair pair(std::mt19937& rng, const TargetInfo& target)
{
    auto uniform = [&rng](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    Pair p;
    p.clean = chip(target);
    p.artifact = p.clean;
    for (int s = 0; s < 52; ++s) {
        const bool amplifies = rng() % 3 == 0;
        const bool straight = rng() % 6 == 0;
        const double efficiency = uniform(1.8, 1.98), plateau = uniform(1500, 3500);
        const double half = uniform(20, 37); // cycle at which the product reaches half its plateau
        const double base = uniform(400, 1500), drift = straight ? 0 : uniform(-1, 2);
        std::normal_distribution<double> noise(0, std::exp(std::normal_distribution<double>(std::log(2.0), 0.5)(rng)));
        Curve c;
        for (int x = 1; x <= 40; ++x) {
            const double n = std::pow(efficiency, x - half);
            const double y = base + drift * x + (amplifies ? plateau * n / (n + 1) : 0);
            c.append(QPointF(x, straight ? y : std::round((y + noise(rng)) * 10) / 10));
        }
        Curve a = c;
        const int kind = int(rng() % 4);
        const double size = uniform(50, 300) * (rng() % 2 ? 1 : -1);
        // A baseline step comes well before the rise (eight cycles before half the plateau);
        // a plateau step four cycles after it; where neither fits, the other kind.
        const int lastFlat = amplifies ? int(half) - 8 : 38;
        const bool onPlateau = kind == 1 && amplifies && half + 4 < 39;
        if (kind == 2) {
            a[2 + int(rng() % 37)].ry() += size * 1.5;
        } else {
            const int at = qMin(onPlateau || lastFlat < 4 ? int(std::ceil(half)) + 4 + int(rng() % 2)
                                                          : 4 + int(rng() % (lastFlat - 3)),
                                39);
            // Two readings off in a row (the second by a little less or more) go where steps do:
            // on an amplification's rise they cannot be told from it.
            if (kind == 3) {
                a[at - 1].ry() += size * 1.5;
                a[at].ry() += size * 1.5 * uniform(0.6, 1.1);
            }
            for (int i = at - 1; kind != 3 && i < 40; ++i)
                a[i].ry() += size;
        }
        p.clean.pdLines[s] = c;
        p.artifact.pdLines[s] = a;
        p.amplifies << amplifies;
    }
    return p;
}

inline void count(const Pair& p, Figures& f)
{
    const TempData clean(p.clean), artifact(p.artifact);
    for (int s = 0; s < p.amplifies.size(); ++s) {
        (p.amplifies[s] ? f.amplifications : f.negatives) += 1;
        f.cleanWrong += clean.positives[s] != p.amplifies[s] ? 1 : 0;
        f.flagged += artifact.flags[s].contains("spike") || artifact.flags[s].contains("jump") ? 1 : 0;
        f.cleanFlagged += clean.flags[s].contains("spike") || clean.flags[s].contains("jump") ? 1 : 0;
        if (!p.amplifies[s]) {
            f.falsePositives += artifact.positives[s] ? 1 : 0;
        } else if (clean.positives[s]) {
            f.lost += artifact.positives[s] ? 0 : 1;
            f.shifted += artifact.positives[s] && std::fabs(artifact.ctValues[s] - clean.ctValues[s]) > 0.5 ? 1 : 0;
        }
    }
}

// plates pairs of chips (52 curves each) analysed with target (its window and threshold mode).
inline Figures figures(int plates, const TargetInfo& target, quint32 seed = 40)
{
    std::mt19937 rng(seed);
    Figures f;
    for (int i = 0; i < plates; ++i)
        count(pair(rng, target), f);
    return f;
}

}
