#pragma once

#include "sim/SimModule.h"
#include "sim/SimScenario.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMap>
#include <QRandomGenerator>
#include <QSet>

// The instrument's side of the protocol: answers a request frame as the modules would, with
// heater and fluorescence state behind it. Time passes with the wall clock times a speed factor,
// so a shortened run still gives the heaters time to reach their set-points.
class SimInstrument
{
public:
    SimInstrument(const SimScenario& scenario, const QSet<int>& modules, double rampPerSecond, double speed);

    // The reply to a 10-byte request, or empty when no module answers it.
    QByteArray answer(const QByteArray& request);

private:
    void advanceTime();
    QByteArray holeReply(char address, SimModule& m, int position);

    SimScenario mScenario;
    QMap<int, SimModule> mModules;
    double mSpeed;
    QElapsedTimer mClock;
    qint64 mLastMs = 0;
    QRandomGenerator mNoise;
};
