#include "sim/SimScenario.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

SimScenario SimScenario::builtIn()
{
    SimScenario s;
    s.mCurves.resize(s.mHoles * s.mChannels);
    // The internal control (channel 1) amplifies in every hole; channel 0 in a few holes of each
    // sample, at different cycles and with a different product.
    for (int h = 0; h < s.mHoles; ++h) {
        Curve& control = s.mCurves[h * 2 + 1];
        control.positive = true;
        control.ct = 24.0;
        control.amplitude = 1800;
        control.tm = 78.0;
    }
    const struct { int hole; double ct; } positives[] = {{3, 18.0}, {4, 19.5}, {9, 22.0}, {16, 17.0}, {21, 21.0}};
    for (const auto& p : positives) {
        Curve& c = s.mCurves[(p.hole - 1) * 2];
        c.positive = true;
        c.ct = p.ct;
        c.tm = 81.5;
    }
    return s;
}

bool SimScenario::load(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path;
        return false;
    }
    QJsonParseError parse;
    const QJsonObject o = QJsonDocument::fromJson(file.readAll(), &parse).object();
    if (parse.error != QJsonParseError::NoError) {
        error = parse.errorString();
        return false;
    }
    mHoles = o.value("holes").toInt(26);
    mChannels = o.value("channels").toInt(2);
    if (mHoles < 2 || mHoles > 512 || mChannels < 1 || mChannels > 2) {
        error = "holes must be 2 to 512 and channels 1 or 2";
        return false;
    }
    mBaseline = o.value("baseline").toDouble(mBaseline);
    mDrift = o.value("drift").toDouble(mDrift);
    mNoise = o.value("noise").toDouble(mNoise);
    mThreshold = o.value("threshold").toDouble(mThreshold);
    mSeed = quint32(o.value("seed").toInt(int(mSeed)));
    mCurves = QVector<Curve>(mHoles * mChannels);
    for (const QJsonValue& v : o.value("positives").toArray()) {
        const QJsonObject p = v.toObject();
        const int hole = p.value("hole").toInt();
        const int channel = p.value("channel").toInt();
        if (hole < 1 || hole > mHoles || channel < 0 || channel >= mChannels) {
            error = QString("positive outside the chip: hole %1 channel %2").arg(hole).arg(channel);
            return false;
        }
        Curve& c = mCurves[(hole - 1) * mChannels + channel];
        c.positive = true;
        c.ct = p.value("ct").toDouble(25);
        c.amplitude = p.value("amplitude").toDouble(c.amplitude);
        c.slope = p.value("slope").toDouble(c.slope);
        c.tm = p.value("tm").toDouble(c.tm);
        c.meltWidth = p.value("meltWidth").toDouble(c.meltWidth);
    }
    return true;
}

const SimScenario::Curve& SimScenario::curve(int hole, int channel) const
{
    static const Curve none;
    const int i = hole * mChannels + channel;
    return i >= 0 && i < mCurves.size() ? mCurves[i] : none;
}

double SimScenario::amplification(const Curve& c, double cycles) const
{
    if (!c.positive || c.amplitude <= mThreshold)
        return 0;
    // Centre the sigmoid so that it passes the threshold exactly at the scenario's Ct.
    const double half = c.ct + c.slope * std::log(c.amplitude / mThreshold - 1);
    return c.amplitude / (1 + std::exp(-(cycles - half) / c.slope));
}

double SimScenario::reading(int hole, int channel, int cycles, double chipTemp, double noiseDraw) const
{
    const Curve& c = curve(hole, channel);
    const double base = mBaseline + 40 * channel + mDrift * cycles + mNoise * noiseDraw;
    // Heated past annealing, the double-stranded product lets go of its dye around Tm, and every
    // signal fades a little with temperature. Cycle readings are taken at annealing, where the
    // product is fully bound.
    const double bound = 1 / (1 + std::exp((chipTemp - c.tm) / c.meltWidth));
    return base - 3 * std::max(0.0, chipTemp - 60) + amplification(c, cycles) * bound;
}
