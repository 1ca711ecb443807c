#include "method/SMethod.h"

#include "method/MeltRange.h"
#include "method/SafeStream.h"

#include <algorithm>

namespace {
constexpr qint64 MapEntryBytes = 4 + 4;
constexpr qint64 TargetInfosBytes = 8 * 4;

const Step* firstStep(const Flow& flow, Step::STEP_TYPE type)
{
    for (const Step& step : flow.steps)
        if (step.StepType == type)
            return &step;
    return nullptr;
}
}

bool SMethod::hasCycleStep() const
{
    return firstStep(Flow, Step::STEP_CYCLE) != nullptr;
}

bool SMethod::hasMeltStep() const
{
    return firstStep(Flow, Step::STEP_MELT) != nullptr;
}

double SMethod::minMeltTemp() const
{
    const Step* melt = firstStep(Flow, Step::STEP_MELT);
    if (!melt || melt->NodeList.size() < 2)
        return 0.0;
    return qMin(melt->NodeList.at(0).Temp, melt->NodeList.at(1).Temp);
}

int SMethod::stepNumber() const
{
    for (const Step& step : Flow.steps) {
        const MeltRange range(step);
        if (range.isValid())
            return range.points();
    }
    return 0;
}

double SMethod::firstMeltReadingTemp() const
{
    for (const Step& step : Flow.steps) {
        const MeltRange range(step);
        if (range.isValid())
            return range.temperature(0);
    }
    return 0.0;
}

qint64 SMethod::readingCount() const
{
    qint64 readings = 0;
    for (const Step& step : Flow.steps) {
        if (step.StepType == Step::STEP_CYCLE) {
            const qint64 perCycle = std::count_if(step.NodeList.cbegin(), step.NodeList.cend(), [](const Node& n) { return n.Test; });
            readings += perCycle * qMax(step.CycleCount, 0);
        } else {
            readings += MeltRange(step).points();
        }
    }
    return readings;
}

bool SMethod::countsInRange() const
{
    const auto holeList = [](const QVector<int>& holes) { return holes.size() <= RecordLimits::MaxHoles; };
    return RecordLimits::countInRange(SampleNumber, RecordLimits::MaxSamples)
        && RecordLimits::countInRange(Hole, RecordLimits::MaxHoles)
        && RecordLimits::countInRange(ChannelColor, RecordLimits::MaxChannels)
        && sampleHoleMap.size() <= RecordLimits::MaxSamples && std::all_of(sampleHoleMap.cbegin(), sampleHoleMap.cend(), holeList)
        && holeTargets.size() <= RecordLimits::MaxHoles && ChannelNames.size() <= RecordLimits::MaxChannels;
}

int SMethod::curveIndex(int holeNumber, int channel) const
{
    if (!RecordLimits::countInRange(Hole, RecordLimits::MaxHoles)
        || !RecordLimits::countInRange(ChannelColor, RecordLimits::MaxChannels) || holeNumber < 1 || holeNumber > Hole || channel < 0 || channel >= ChannelColor)
        return -1;
    return (holeNumber - 1) * ChannelColor + channel;
}

QMap<int, int> SMethod::runningNumbers() const
{
    QMap<int, int> numbers;
    if (!countsInRange())
        return numbers;
    for (const QVector<int>& holes : sampleHoleMap)
        for (int hole : holes)
            if (curveIndex(hole, 0) >= 0 && !numbers.contains(hole))
                numbers.insert(hole, numbers.size() + 1);
    return numbers;
}

bool SMethod::operator==(const SMethod& o) const
{
    return Name == o.Name && Id == o.Id && Date == o.Date && Valid == o.Valid
        && SampleNumber == o.SampleNumber && Hole == o.Hole && ChannelColor == o.ChannelColor
        && ChannelNames == o.ChannelNames && UpTime == o.UpTime && DownTime == o.DownTime
        && Flow == o.Flow && Explain == o.Explain && sampleHoleMap == o.sampleHoleMap
        && holeTargets == o.holeTargets && ReDissolveCycle == o.ReDissolveCycle
        && ReDissolveTime == o.ReDissolveTime && ReDissolveTempHigh == o.ReDissolveTempHigh
        && ReDissolveTempLow == o.ReDissolveTempLow
        && controlRules == o.controlRules && acceptances == o.acceptances;
}

QDataStream& operator<<(QDataStream& s, const SMethod& m)
{
    s << m.Name << m.Id << m.Date << m.Valid << qint32(m.SampleNumber) << qint32(m.Hole)
      << qint32(m.ChannelColor) << m.ChannelNames << m.UpTime << m.DownTime << m.sampleHoleMap
      << m.Flow << m.Explain << m.holeTargets << qint32(m.ReDissolveCycle)
      << qint32(m.ReDissolveTime) << m.ReDissolveTempHigh << m.ReDissolveTempLow;
    return s;
}

QDataStream& operator>>(QDataStream& s, SMethod& m)
{
    SafeStream::read(s, m.Name);
    SafeStream::read(s, m.Id);
    SafeStream::read(s, m.Date);
    SafeStream::read(s, m.Valid);
    SafeStream::read(s, m.SampleNumber);
    SafeStream::read(s, m.Hole);
    SafeStream::read(s, m.ChannelColor);
    SafeStream::readList(s, m.ChannelNames, 4);
    SafeStream::read(s, m.UpTime);
    SafeStream::read(s, m.DownTime);
    SafeStream::readMap(s, m.sampleHoleMap, MapEntryBytes);
    s >> m.Flow;
    SafeStream::read(s, m.Explain);
    SafeStream::readList(s, m.holeTargets, TargetInfosBytes);
    SafeStream::read(s, m.ReDissolveCycle);
    SafeStream::read(s, m.ReDissolveTime);
    SafeStream::read(s, m.ReDissolveTempHigh);
    SafeStream::read(s, m.ReDissolveTempLow);
    return s;
}
