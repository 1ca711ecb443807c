#include "instrument/Machine.h"

#include "instrument/FlagGuard.h"

#include <QDebug>
#include <algorithm>

namespace {
// Loads a list in playing order so that its first element is on top.
QStack<ControlElement> asStack(const QStack<ControlElement>& list)
{
    QStack<ControlElement> stack;
    stack.reserve(list.size());
    for (auto it = list.crbegin(); it != list.crend(); ++it)
        stack.push(*it);
    return stack;
}
}

namespace {
int instanceTickMs = 250;
}

void Machine::setInstanceTickMs(int tickMs)
{
    instanceTickMs = tickMs;
}

Machine* Machine::instance()
{
    static Machine machine(instanceTickMs);
    return &machine;
}

Machine::Machine(int tickMs, int waitMs, QObject* parent)
    : QObject(parent), mpEngine(new Engine(waitMs, this)), mpTimer(new QTimer(this)), mIsRunning(5, false),
      mIsEmployed(5, false), mMethods(5), mCmdStacks(5), mSafeStacks(5), mReleaseWhenSafe(5, false), mStopped(5, false), mSafeAgain(5, false), mOwners(5, nullptr), mConnectDatas(5), mReceivers(5), mTickMs(qMax(1, tickMs))
{
    qRegisterMetaType<ConnectData>("ConnectData");
    qRegisterMetaType<Machine::REACT_INFO>("Machine::REACT_INFO");
    connect(mpEngine, &Engine::signalLinkError, this, &Machine::signalEngineError);
    connect(mpTimer, &QTimer::timeout, this, &Machine::slotTimerOut, Qt::DirectConnection);
    mpTimer->setTimerType(Qt::PreciseTimer);
    mpTimer->start(mTickMs);
    mClock.start();
}

Machine::~Machine()
{
    qDebug() << "~Machine()";
    mpTimer->stop();
}

bool Machine::run(const SMethod& method, QObject* receiver, int number)
{
    return play(method.getAllRunCmd(), method, receiver, number);
}

bool Machine::play(const QStack<ControlElement>& steps, const SMethod& method, QObject* receiver, int number)
{
    if (!validModule(number) || mIsRunning[number] || (mOwners[number] && mOwners[number] != receiver))
        return false;
    mMethods[number] = method;
    mCmdStacks[number] = asStack(steps);
    mSafeStacks[number].clear();
    mIsRunning[number] = true;
    mStopped[number] = false;
    mSafeAgain[number] = false;
    qInfo() << "PCR" << number << "plays" << steps.size() << "steps";
    ConnectData& data = mConnectDatas[number];
    data.pcrIndex = number;
    data.cycle = 0;
    data.meltStep = 0;
    data.totalCount = mCmdStacks[number].size();
    data.residueCount = data.totalCount;
    mReceivers[number] = receiver;
    if (receiver) {
        // Unique: a receiver that starts runs on several modules hears each report once.
        const auto queued = Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection);
        connect(this, SIGNAL(signalConnectData(ConnectData)), receiver, SLOT(slotConnectData(ConnectData)), queued);
        connect(this, SIGNAL(signalReactInfo(Machine::REACT_INFO, char)), receiver, SLOT(slotReactInfo(Machine::REACT_INFO, char)), queued);
    }
    return true;
}

void Machine::stop(int number)
{
    if (!validModule(number))
        return;
    mCmdStacks[number] = asStack(mMethods[number].getStopCmd());
    mConnectDatas[number].totalCount = mCmdStacks[number].size();
    mIsRunning[number] = true;
    mStopped[number] = true;
}

bool Machine::isPcrRunning() const
{
    return std::any_of(mIsRunning.begin(), mIsRunning.end(), [](bool b) { return b; });
}

bool Machine::isPcrRunning(int number) const
{
    return validModule(number) && mIsRunning[number];
}

bool Machine::isSafing(int number) const
{
    return validModule(number) && !mSafeStacks[number].isEmpty();
}

bool Machine::makeSafe(int number, const SMethod& method)
{
    if (!validModule(number) || mIsRunning[number] || mIsEmployed[number])
        return false;
    mMethods[number] = method;
    mSafeStacks[number] = asStack(method.getStopCmd());
    mIsEmployed[number] = true;
    mReleaseWhenSafe[number] = true;
    return true;
}

void Machine::setPcrEmployed(bool employed, int number, const QObject* owner)
{
    if (!validModule(number))
        return;
    if (employed) {
        mIsEmployed[number] = true;
        mOwners[number] = owner;
    } else if (mOwners[number] == owner) {
        mIsEmployed[number] = false;
        mOwners[number] = nullptr;
    }
}

bool Machine::isOpenState() const
{
    return mpEngine->isOpen();
}

void Machine::closeMachine()
{
    mpEngine->closeCom();
    emit signalPortClosed();
}

MachineData Machine::getMachineData()
{
    MachineData data;
    if (mBusy)
        return data;
    const FlagGuard guard(mBusy);
    data.isSync = true;
    data.pcrModels = QVector<quint8>(5, 0);
    for (const QString& port : mpEngine->getCurrentComList()) {
        mpEngine->closeCom();
        if (mpEngine->initCom(port) != 0) {
            qDebug() << "cannot open port" << port << mpEngine->errorString();
            mpEngine->closeCom();
            data.isOpen = false;
            continue;
        }
        for (int i = 0; i < 5; ++i) {
            if (mpEngine->stopTemp(Engine::TEC_UP, char(i), 1) == Engine::SERIALPORT_NO_ERROR) {
                data.pcrModels[i] = quint8(i);
                data.isOpen = i != 0 || data.isOpen;
                data.comName = port;
            } else {
                data.pcrModels[i] = 0;
            }
        }
        if (!data.hasPcrModel()) {
            mpEngine->closeCom();
            data.isOpen = false;
            data.comName.clear();
        }
        if (data.isOpen)
            break;
    }
    const QString configured = Engine::configuredPort();
    if (!configured.isEmpty() && data.comName != configured)
        data.silentPort = configured;
    return data;
}

MachineData Machine::checkModules(const MachineData& known)
{
    MachineData data = known;
    if (!mpEngine->isOpen()) {
        data.isOpen = false;
        return data;
    }
    const FlagGuard guard(mBusy);
    data.pcrModels.resize(5);
    int absentAsked = 0;
    for (int k = 0; k < 4; ++k) {
        const int module = (mNextAbsent - 1 + k) % 4 + 1;
        if (mIsRunning[module] || isSafing(module))
            continue;
        const bool wasPresent = data.pcrModels[module] != 0;
        if (!wasPresent && absentAsked++ > 0)
            continue;
        if (!wasPresent)
            mNextAbsent = module % 4 + 1;
        double celsius = 0.0;
        const bool answered = mpEngine->getTemp(Engine::TEC_UP, celsius, char(module), 1) == Engine::SERIALPORT_NO_ERROR;
        data.pcrModels[module] = answered ? quint8(module) : 0;
        if (answered && mSafeAgain[module]) {
            qDebug() << "module" << module << "answers again: its stop sequence is played once more";
            mSafeAgain[module] = false;
            mSafeStacks[module] = asStack(mMethods[module].getStopCmd());
        }
    }
    data.isOpen = data.hasPcrModel() && mpEngine->isOpen();
    return data;
}

void Machine::slotTimerOut()
{
    // A step waits for the instrument with the event loop running, but the timer does not fire
    // again while its own slot is still busy, and a late precise timer starts counting afresh.
    // So turns are owed by elapsed time: every turn that fell due during a slow step (or a probe)
    // is served as soon as the port is free, and a run takes the time its step count promises.
    if (mBusy)
        return;
    const qint64 due = mClock.elapsed() / mTickMs;
    if (due - mServedTurns > MaxOwedTurns) {
        // Far behind (the machine was suspended, say): playing the owed steps back to back would
        // cut the holds short, so they are given up.
        qDebug() << "step timer" << due - mServedTurns << "turns behind; resuming the normal pace";
        mServedTurns = due - 1;
    }
    while (mServedTurns < due) {
        ++mServedTurns;
        serveTurn();
    }
}

void Machine::serveTurn()
{
    if (mTurn == 5)
        mTurn = 1;
    const int number = mTurn;
    if (mIsRunning[number]) {
        QStack<ControlElement>& stack = mCmdStacks[number];
        if (!stack.isEmpty()) {
            const ControlElement step = stack.pop();
            mConnectDatas[number].residueCount = stack.size();
            int result = 0;
            {
                const FlagGuard guard(mBusy);
                result = modelRun(step, char(number));
            }
            if (result != 0) {
                // The heaters must not stay where the failed run left them.
                qWarning() << "PCR" << number << "failed at step" << controlKindName(step.kind) << "with" << stack.size()
                           << "steps left; playing its stop sequence";
                mIsRunning[number] = false;
                mSafeStacks[number] = asStack(mMethods[number].getStopCmd());
                emit signalReactInfo(REACT_ERROR, char(number));
            }
        } else {
            mIsRunning[number] = false;
            qInfo() << "PCR" << number << (mStopped[number] ? "stopped; its stop sequence played" : "finished its step list");
            emit signalReactInfo(mStopped[number] ? REACT_STOPPED : REACT_FINISHED, char(number));
        }
    } else if (!mSafeStacks[number].isEmpty() && mpEngine->isOpen()) {
        playSafeStep(number);
    }
    ++mTurn;
}

void Machine::playSafeStep(int number)
{
    // Every command is attempted once; one that fails does not keep the others from the module.
    // A module that has just failed is most likely silent, and every unanswered attempt holds the
    // port from the other modules' steps. If any step went unanswered, the whole sequence is
    // played again once the module answers (see checkModules).
    const ControlElement step = mSafeStacks[number].pop();
    {
        const FlagGuard guard(mBusy);
        mpEngine->limitTries(1);
        if (modelRun(step, char(number)) != 0) {
            qDebug() << "safe state: step" << controlKindName(step.kind) << "failed on module" << number;
            mSafeAgain[number] = true;
        }
        mpEngine->limitTries(0);
    }
    if (!mSafeStacks[number].isEmpty())
        return;
    if (mReleaseWhenSafe[number]) {
        mReleaseWhenSafe[number] = false;
        mIsEmployed[number] = false;
    }
    emit signalSafeState(char(number));
}

void Machine::report(char number, const ConnectData& data)
{
    mConnectDatas[int(number)] = data;
    emit signalConnectData(mConnectDatas[int(number)]);
}

int Machine::readHoles(char number, unsigned int dataType)
{
    const SMethod& method = mMethods[int(number)];
    QVector<double> values;
    const int result = mpEngine->holeInfos(method.Hole, method.ChannelColor, values, number);
    ConnectData data = mConnectDatas[int(number)];
    data.dataType = dataType;
    data.pcrIndex = number;
    data.upTemp = -1.0;
    data.downTemp = -1.0;
    data.pdValues = values;
    report(number, data);
    return result;
}
