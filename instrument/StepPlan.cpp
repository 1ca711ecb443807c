// What each kind of step makes the instrument do.
#include "instrument/StepPlan.h"

#include "instrument/CommandSet.h"
#include "method/SMethod.h"

#include <limits>

StepPlan::StepPlan(const ControlElement& e, const SMethod& method, char number) : mElement(e)
{
    using namespace CommandSet;
    const char n = number;
    switch (e.kind) {
    case OUT_FAN_OPEN: mCommands = {outFan(true, n)}; break;
    case OUT_FAN_CLOSE: mCommands = {outFan(false, n)}; break;
    case UP_FAN_OPEN: mCommands = {upFan(true, n)}; break;
    case UP_FAN_CLOSE: mCommands = {upFan(false, n)}; break;
    case DOWN_FAN_OPEN: mCommands = {downFan(true, n)}; break;
    case DOWN_FAN_CLOSE: mCommands = {downFan(false, n)}; break;
    case OUT_LED_BLUE: mCommands = {outLed(Engine::OUTLED_NORMAL, n)}; break;
    case OUT_LED_RED: mCommands = {outLed(Engine::OUTLED_STOP, n)}; break;
    case OUT_LED_SPACE: mCommands = {outLed(Engine::OUTLED_SPACE, n)}; break;
    case IN_LED_OPEN: mCommands = {inLed(true, n)}; break;
    case IN_LED_CLOSE: mCommands = {inLed(false, n)}; break;
    case UD_ROTOR_DOWN_1: mCommands = {moveUDRotor(Engine::DOWN, 4, 1850, n)}; break;
    case UD_ROTOR_UPRESET: mCommands = {moveUDRotor(Engine::UP_RESET, 4, 2500, n)}; break;
    case ROTOR_TEST: mCommands = {testRotor(n)}; break;
    case ROTOR_RESET: mCommands = {resetRotor(n)}; break;
    case UD_ROTOR_DOWN_2: mCommands = {moveUDRotor(Engine::DOWN, 1, 160, n)}; break;
    case STOP_TEMP: mCommands = {stopTemp(Engine::TEC_UP, n), stopTemp(Engine::TEC_DOWN, n)}; break;
    case SET_TEMP_All: mCommands = {setTemp(Engine::TEC_UP, e.upTemp, n), setTemp(Engine::TEC_DOWN, e.downTemp, n)}; break;
    case SET_TEMP_UP: mCommands = {setTemp(Engine::TEC_UP, e.upTemp, n)}; break;
    case SET_TEMP_DOWN: mCommands = {setTemp(Engine::TEC_DOWN, e.downTemp, n)}; break;
    case DELAY: break;
    case IMMUNE_CYCLE_DATA:
    case IMMUNE_MELT_DATA:
    case IMMUNE_DATA:
        mChannels = method.ChannelColor;
        mPositions = method.Hole / 2;
        for (int p = 1; p <= mPositions; ++p)
            mCommands << holeInfo(p, mChannels, n);
        break;
    default: mCommands = {getTemp(Engine::TEC_UP, n), getTemp(Engine::TEC_DOWN, n)}; break;
    }
    mResults.fill(Engine::SERIALPORT_NO_ERROR, mCommands.size());
    mReplies.resize(mCommands.size());
}

StepPlan::StepPlan(const Command& command) : mCommands{command}, mResults{0}, mReplies(1)
{
    mElement.kind = GET_TEMP;
}

bool StepPlan::isReading() const
{
    return mElement.kind == IMMUNE_CYCLE_DATA || mElement.kind == IMMUNE_MELT_DATA || mElement.kind == IMMUNE_DATA;
}

void StepPlan::settle(int result, const QByteArray& reply)
{
    if (done())
        return;
    mResults[mNext] = result;
    mReplies[mNext] = result == Engine::SERIALPORT_NO_ERROR ? reply : QByteArray();
    ++mNext;
    if (result != Engine::SERIALPORT_NO_ERROR && isReading())
        mNext = mCommands.size();
}

int StepPlan::result() const
{
    // A step of several commands fails as a whole; a single command's failure is the step's.
    int failed = 0;
    for (int r : mResults)
        failed += r != Engine::SERIALPORT_NO_ERROR ? 1 : 0;
    if (failed == 0)
        return Engine::SERIALPORT_NO_ERROR;
    return mCommands.size() == 1 ? mResults.first() : int(Engine::SERIALPORT_EXISTERROR);
}

bool StepPlan::reports() const
{
    // A kind outside the set reads the temperatures, as GET_TEMP does.
    const int kind = mElement.kind;
    return isReading() || kind == GET_TEMP || kind < OUT_FAN_OPEN || kind > IMMUNE_DATA;
}

ConnectData StepPlan::report(const ConnectData& previous, char number) const
{
    ConnectData data = previous;
    data.pcrIndex = number;
    if (!isReading()) {
        data.dataType = ConnectData::TEMPERATURE;
        data.upTemp = data.downTemp = -1.0;
        CommandSet::temperature(mReplies.value(0), data.upTemp);
        CommandSet::temperature(mReplies.value(1), data.downTemp);
        data.pdValues.clear();
        return data;
    }
    data.dataType = mElement.kind == IMMUNE_DATA ? ConnectData::INITIAL_READING : ConnectData::HOLE_READING;
    data.cycle += mElement.kind == IMMUNE_CYCLE_DATA ? 1 : 0;
    data.meltStep += mElement.kind == IMMUNE_MELT_DATA ? 1 : 0;
    data.upTemp = data.downTemp = -1.0;
    data.pdValues.clear();
    // A position that was not read has no values: missing, never a number the analysis could take.
    const QVector<double> unread(2 * mChannels, std::numeric_limits<double>::quiet_NaN());
    for (const QByteArray& reply : mReplies)
        data.pdValues += reply.isEmpty() ? unread : CommandSet::pdValues(mChannels, reply);
    return data;
}

QString StepPlan::describe(const QString& sent, const QString& received) const
{
    const int kind = mElement.kind;
    const bool known = kind >= OUT_FAN_OPEN && kind <= IMMUNE_DATA;
    QString line = QString("%1 %2").arg(known ? controlKindName(kind) : QStringLiteral("default")).arg(result());
    if (kind == IMMUNE_CYCLE_DATA)
        return line;
    if (kind == SET_TEMP_All || kind == SET_TEMP_UP || kind == SET_TEMP_DOWN)
        line += QString(" %1 %2").arg(mElement.upTemp).arg(mElement.downTemp);
    return line + " " + sent + " " + received;
}
