#pragma once

#include "CliRunner.h"
#include "SimProcess.h"
#include "SimReadings.h"
#include "TestDir.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "files/OutData.h"

namespace NoisyRun {
// Every command that is safe to send twice: set-points, temperatures, readings, lamps, fans.
inline const QString Repeatable = "b1,a1,b0,a0,c2,d0,d1,e1,b2,a2";

struct Outcome
{
    CliResult cli;
    OutData saved;
    QStringList frames;
    // The readings the simulator answered with intact frames, in order, one vector of 52 values
    // (curve-index order) per reading; the initial reading left out as the run leaves it out.
    QVector<QVector<double>> answered;
};

// A headless run of the short method on module against the simulator with the given faults.
inline Outcome runWith(const TestDir& dir, const QStringList& faults, int module)
{
    Outcome o;
    SimProcess sim(faults + QStringList{"--speed", "250", "--reply-log", dir.file("replies.log")}, dir.path());
    Settings(UI::SettingsFile, QSettings::IniFormat).setComName(sim.path());
    o.cli = runCli({"run", "--method", TAMARIN_SOURCE_DIR "/methods/short-demo.json", "--module", QString::number(module),
                    "--name", "noisy", "--step-ms", "4", "--link-wait-ms", "1000"},
                   300000);
    o.saved.openAs("usr_data/noisy.pcrd");
    o.frames = sim.frames();
    o.answered = SimReadings::answered(dir.file("replies.log"), module);
    return o;
}

inline void compareReadings(const Outcome& o)
{
    QVERIFY(!o.answered.isEmpty());
    SimReadings::compare(o.saved, o.answered, o.answered.size());
}
}

