#include "instrument/Machine.h"

#include "instrument/LinkWorker.h"

#include <QDebug>
#include <QThread>
#include <algorithm>

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
    : QObject(parent), mThread(new QThread), mWorker(new LinkWorker(tickMs, waitMs)), mIsRunning(5, false),
      mIsEmployed(5, false), mSafing(5, false), mStopOwed(5, false), mReleaseWhenSafe(5, false), mOwners(5, nullptr), mNotes(5),
      mTickMs(qMax(1, tickMs))
{
    qRegisterMetaType<ConnectData>("ConnectData");
    qRegisterMetaType<MachineData>("MachineData");
    qRegisterMetaType<Machine::REACT_INFO>("Machine::REACT_INFO");
    qRegisterMetaType<QSerialPort::SerialPortError>("QSerialPort::SerialPortError");
    mThread->setObjectName("serial link");
    mWorker->moveToThread(mThread);
    connect(mWorker, &LinkWorker::connectData, this, &Machine::signalConnectData);
    connect(mWorker, &LinkWorker::reactInfo, this, &Machine::reacted);
    connect(mWorker, &LinkWorker::safeState, this, &Machine::safe);
    connect(mWorker, &LinkWorker::safing, this, [this](char number) { mSafing[int(number)] = true; });
    connect(mWorker, &LinkWorker::stopUnanswered, this, [this](char number) { oweStop(int(number)); });
    connect(mWorker, &LinkWorker::linkError, this, &Machine::signalEngineError);
    connect(mWorker, &LinkWorker::portOpen, this, [this](bool open) {
        mOpen = open;
        for (int number = 1; number < mSafing.size() && !open; ++number)
            if (mSafing[number])
                oweStop(number);
    });
    connect(mWorker, &LinkWorker::probed, this, &Machine::signalProbed);
    connect(mWorker, &LinkWorker::checked, this, &Machine::signalChecked);
    mThread->start();
    post([w = mWorker] { w->begin(); });
}

Machine::~Machine()
{
    qDebug() << "~Machine()";
    shutdown();
}

void Machine::shutdown()
{
    if (!mThread)
        return;
    disconnect(mWorker, nullptr, this, nullptr);
    QMetaObject::invokeMethod(mWorker, [w = mWorker, home = thread()] { w->finish(home); }, Qt::BlockingQueuedConnection);
    mThread->quit();
    mThread->wait();
    delete mWorker;
    delete mThread;
    mWorker = nullptr;
    mThread = nullptr;
    mOpen = false;
}

template <typename F>
void Machine::post(F call)
{
    if (mWorker)
        QMetaObject::invokeMethod(mWorker, call, Qt::QueuedConnection);
}

bool Machine::run(const SMethod& method, QObject* receiver, int number)
{
    return play(method.getAllRunCmd(), method, receiver, number);
}

bool Machine::play(const QStack<ControlElement>& steps, const SMethod& method, QObject* receiver, int number)
{
    if (!validModule(number) || !mWorker || mIsRunning[number] || (mOwners[number] && mOwners[number] != receiver))
        return false;
    mIsRunning[number] = true;
    mSafing[number] = false;
    mStopOwed[number] = false;
    mNotes[number].clear();
    if (receiver) {
        // Unique: a receiver that starts runs on several modules hears each report once.
        const auto queued = Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection);
        connect(this, SIGNAL(signalConnectData(ConnectData)), receiver, SLOT(slotConnectData(ConnectData)), queued);
        connect(this, SIGNAL(signalReactInfo(Machine::REACT_INFO, char)), receiver, SLOT(slotReactInfo(Machine::REACT_INFO, char)), queued);
    }
    post([w = mWorker, steps, method, number] { w->play(steps, method, number); });
    return true;
}

void Machine::stop(int number)
{
    if (validModule(number) && mIsRunning[number])
        post([w = mWorker, number] { w->stop(number); });
}

void Machine::reacted(Machine::REACT_INFO info, char number, const QString& note)
{
    mIsRunning[int(number)] = false;
    mNotes[int(number)] = note;
    if (info == REACT_ERROR)
        mSafing[int(number)] = true;
    emit signalReactInfo(info, number);
    if (info == REACT_ERROR && !mOpen)
        oweStop(int(number));
}

void Machine::oweStop(int number)
{
    // Unanswered, or nothing reaches the module while the port is down: said once.
    if (mStopOwed[number])
        return;
    mStopOwed[number] = true;
    emit signalStopUnconfirmed(char(number));
}

void Machine::safe(char number)
{
    mSafing[int(number)] = false;
    mStopOwed[int(number)] = false;
    if (mReleaseWhenSafe[int(number)]) {
        mReleaseWhenSafe[int(number)] = false;
        mIsEmployed[int(number)] = false;
        mOwners[int(number)] = nullptr;
    }
    emit signalSafeState(number);
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
    return validModule(number) && mSafing[number];
}

bool Machine::isStopOwed(int number) const
{
    return validModule(number) && mStopOwed[number];
}

QList<int> Machine::stopOwedModules() const
{
    QList<int> owed;
    for (int number = 1; number < mStopOwed.size(); ++number)
        if (mStopOwed[number])
            owed << number;
    return owed;
}

bool Machine::makeSafe(int number, const SMethod& method)
{
    if (!validModule(number) || !mWorker || mIsRunning[number] || mIsEmployed[number])
        return false;
    mIsEmployed[number] = true;
    mReleaseWhenSafe[number] = true;
    mSafing[number] = true;
    post([w = mWorker, number, method] { w->makeSafe(number, method); });
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
        mOwners[number] = nullptr;
        // No new test on heaters that may still be on: held until the stop is confirmed.
        if (mSafing[number])
            mReleaseWhenSafe[number] = true;
        else
            mIsEmployed[number] = false;
    }
}

QString Machine::runNote(int number) const
{
    return validModule(number) ? mNotes[number] : QString();
}

MachineData Machine::getMachineData()
{
    MachineData data;
    if (!mWorker)
        return data;
    QMetaObject::invokeMethod(mWorker, [w = mWorker, &data] { data = w->probe(); }, Qt::BlockingQueuedConnection);
    mOpen = data.isOpen;
    return data;
}

void Machine::requestProbe()
{
    post([w = mWorker] { w->probeAndReport(); });
}

void Machine::requestCheck(const MachineData& known)
{
    post([w = mWorker, known] { w->check(known); });
}

bool Machine::isOpenState() const
{
    return mOpen;
}

void Machine::closeMachine()
{
    mOpen = false;
    post([w = mWorker] { w->closePort(); });
    emit signalPortClosed();
}
