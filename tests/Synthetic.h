#pragma once

#include "files/OutData.h"

#include <QRandomGenerator>
#include <cmath>

// Realistic synthetic experiments: a 26-hole, two-channel chip with a cycle stage and, when asked,
// a melt stage, with curves whose threshold crossing and melting temperature are known.
namespace Synthetic {

inline Step stage(Step::STEP_TYPE type, int count, QVector<Node> nodes)
{
    Step s;
    s.StepType = type;
    s.CycleCount = count;
    s.NodeList = nodes;
    return s;
}

inline TargetInfo target(const QString& name, double threshold)
{
    // Fixed threshold, manual baseline window 3..15, border 100.
    return TargetInfo{name, 0, threshold, 0, 3, 15, 100.0, 0.0};
}

inline OutData experiment(int cycles, bool melt, double meltFrom = 60.0, double meltTo = 95.0)
{
    OutData d;
    SMethod& m = d.inData.method;
    m.Name = "synthetic";
    m.Hole = 26;
    m.ChannelColor = 2;
    m.ChannelNames = QStringList{"FAM", "ROX"};
    m.SampleNumber = 2;
    for (int h = 3; h <= 26; ++h)
        m.sampleHoleMap[h <= 14 ? 0 : 1].append(h);
    m.Flow.steps = {stage(Step::STEP_CYCLE, cycles, {{10, 95.0, false}, {30, 60.0, true}})};
    if (melt)
        m.Flow.steps.append(stage(Step::STEP_MELT, 0, {{5, meltFrom, false}, {5, meltTo, false}}));
    for (int h = 0; h < 26; ++h) {
        TargetInfos t;
        t.append(target("T" + QString::number(h + 1), 200.0));
        t.append(target("IC", 200.0));
        m.holeTargets.append(t);
    }
    d.pdLines.resize(26 * 2);
    d.runComplete = true;
    return d;
}

// Baseline with drift and noise, plus a sigmoid of height amplitude centred at half (cycles).
inline Curve amplification(int cycles, double amplitude, double half, double slope, quint32 seed,
                           double base = 500.0, double drift = 1.5, double noise = 3.0)
{
    QRandomGenerator rng(seed);
    Curve c;
    for (int x = 1; x <= cycles; ++x) {
        const double sig = amplitude > 0 ? amplitude / (1 + std::exp(-(x - half) / slope)) : 0.0;
        c.append(QPointF(x, base + drift * x + sig + noise * (rng.generateDouble() * 2 - 1)));
    }
    return c;
}

// The reading (x) at which the sigmoid alone reaches threshold.
inline double crossing(double amplitude, double half, double slope, double threshold)
{
    return half - slope * std::log(amplitude / threshold - 1);
}

// Fluorescence falling around tm as the chip warms, readings every 0.5 degC from "from",
// numbered on after firstX.
inline Curve melt(double from, int points, double tm, double amplitude, double width, int firstX)
{
    Curve c;
    for (int k = 0; k < points; ++k) {
        const double t = from + 0.5 * k;
        c.append(QPointF(firstX + k, 800 - 4 * (t - from) + amplitude / (1 + std::exp((t - tm) / width))));
    }
    return c;
}

// Three samples of three holes (3-5, 6-8, 9-11) with target "靶标" on FAM and the internal
// control "内参" on ROX, fixed threshold 200, 40 cycles and a 60-95 degC melt. The control
// amplifies everywhere but hole 10; FAM amplifies in holes 3-5 (sigmoid centres 24, 24.3, 26).
inline OutData controlledPlate()
{
    OutData d = experiment(40, true);
    SMethod& m = d.inData.method;
    m.SampleNumber = 3;
    m.sampleHoleMap.clear();
    for (int h = 3; h <= 11; ++h)
        m.sampleHoleMap[(h - 3) / 3].append(h);
    d.inData.sampleNames = {"甲", "乙", "丙"};
    const QMap<int, double> famHalves = {{3, 24.0}, {4, 24.3}, {5, 26.0}};
    for (int h = 1; h <= 26; ++h) {
        m.holeTargets[h - 1] = TargetInfos();
        m.holeTargets[h - 1].append(target(QStringLiteral("靶标"), 200.0));
        m.holeTargets[h - 1].append(target(QStringLiteral("内参"), 200.0));
        const double fam = famHalves.value(h, 0);
        d.pdLines[2 * (h - 1)] = amplification(40, fam > 0 ? 2500 : 0, fam, 1.6, quint32(h))
            + melt(60, 71, 81, fam > 0 ? 2000 : 0, 0.5, 41);
        const bool control = h != 10;
        d.pdLines[2 * (h - 1) + 1] = amplification(40, control ? 1800 : 0, 27, 1.6, quint32(100 + h))
            + melt(60, 71, 78, control ? 1500 : 0, 0.5, 41);
    }
    return d;
}

}
