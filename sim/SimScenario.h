#pragma once

#include <QString>
#include <QVector>

// What the simulated chip holds: per hole and channel a baseline with drift and noise and, for a
// positive, an amplification that reaches the reference threshold at a given cycle and a product
// that melts at a given temperature.
class SimScenario
{
public:
    struct Curve
    {
        bool positive = false;
        double ct = 0;          // cycle at which the signal rises by `threshold` over its baseline
        double amplitude = 2500; // plateau height over the baseline
        double slope = 1.6;     // sigmoid width in cycles
        double tm = 80;         // melting temperature of the product, degC
        double meltWidth = 0.8; // degC
    };

    // The built-in chip: 26 holes, 2 channels; see the README's simulator section.
    static SimScenario builtIn();
    // A scenario file (JSON); false with a reason when it cannot be used.
    bool load(const QString& path, QString& error);

    int holes() const { return mHoles; }
    int channels() const { return mChannels; }
    const Curve& curve(int hole, int channel) const;
    // The reading of one hole and channel after `cycles` thermal cycles with the chip at
    // `chipTemp`; noiseDraw in [-1, 1].
    double reading(int hole, int channel, int cycles, double chipTemp, double noiseDraw) const;
    quint32 seed() const { return mSeed; }

private:
    double amplification(const Curve& c, double cycles) const;

    int mHoles = 26;
    int mChannels = 2;
    double mBaseline = 500;
    double mDrift = 1.0;
    double mNoise = 2.0;
    double mThreshold = 100;
    quint32 mSeed = 20261207;
    QVector<Curve> mCurves; // hole x channels + channel
};
