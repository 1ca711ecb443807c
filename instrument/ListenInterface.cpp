#include "instrument/ListenInterface.h"

#include "instrument/Machine.h"
#include "platform/PortWatcher.h"

#include <QDebug>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
#include <dbt.h>
#endif

ListenInterface::ListenInterface(Machine* machine, int intervalMs, int retryMs, int checkMs, QObject* parent)
    : QObject(parent), mTimer(new QTimer(this)), mInterval(intervalMs), mMachine(machine ? machine : Machine::instance()),
      mRetryTimer(new QTimer(this)), mCheckTimer(new QTimer(this)), mWatcher(new PortWatcher(this))
{
    mCheckTimer->setInterval(checkMs);
    connect(mCheckTimer, &QTimer::timeout, this, &ListenInterface::checkModules);
    connect(mTimer, &QTimer::timeout, this, &ListenInterface::slotTimeout);
    mTimer->start(mInterval);
    connect(mMachine, &Machine::signalEngineError, this, &ListenInterface::slotEngineError);
    connect(mMachine, &Machine::signalPortClosed, this, [this] { slotEngineError(QSerialPort::NotOpenError); });
    connect(mMachine, &Machine::signalProbed, this, &ListenInterface::probed);
    connect(mMachine, &Machine::signalChecked, this, &ListenInterface::checked);
    mRetryTimer->setSingleShot(true);
    mRetryTimer->setInterval(retryMs);
    connect(mRetryTimer, &QTimer::timeout, this, &ListenInterface::portArrived);
    connect(mWatcher, &PortWatcher::portArrived, this, &ListenInterface::portArrived);
    connect(mWatcher, &PortWatcher::portRemoved, this, &ListenInterface::portRemoved);
}

ListenInterface::~ListenInterface() = default;

void ListenInterface::portArrived()
{
    if (!mTimer->isActive())
        mTimer->start(mInterval);
}

void ListenInterface::portRemoved()
{
    if (mTimer->isActive())
        mTimer->start(mInterval);
}

bool ListenInterface::nativeEventFilter(const QByteArray& eventType, void* message, long* result)
{
    Q_UNUSED(result)
#ifdef Q_OS_WIN
    const MSG* msg = static_cast<const MSG*>(message);
    if (eventType == "windows_generic_MSG" && msg->message == WM_DEVICECHANGE) {
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(msg->lParam);
        if (header && header->dbch_devicetype == DBT_DEVTYP_PORT) {
            if (msg->wParam == DBT_DEVICEARRIVAL)
                portArrived();
            else if (msg->wParam == DBT_DEVICEREMOVECOMPLETE)
                portRemoved();
        }
    }
#else
    Q_UNUSED(eventType)
    Q_UNUSED(message)
#endif
    return false;
}

void ListenInterface::slotTimeout()
{
    if ((mMachineData.isOpen && mMachineData.hasPcrModel()) || mProbing)
        return;
    mProbing = true;
    mMachine->requestProbe();
}

void ListenInterface::probed(const MachineData& data)
{
    mProbing = false;
    mMachineData = data;
    qInfo() << "instrument" << (data.isOpen ? "connected on" : "not found") << data.comName << data.pcrModels;
    emit signalMachineData(mMachineData);
    mTimer->stop();
    if (mMachineData.isOpen)
        mCheckTimer->start();
    else
        mRetryTimer->start();
}

void ListenInterface::checkModules()
{
    if (mChecking)
        return;
    mChecking = true;
    mMachine->requestCheck(mMachineData);
}

void ListenInterface::checked(const MachineData& data)
{
    mChecking = false;
    // A link error or a probe since the check was asked for has the newer word.
    if (!mMachineData.isOpen || !mCheckTimer->isActive())
        return;
    if (data.pcrModels == mMachineData.pcrModels && data.isOpen == mMachineData.isOpen)
        return;
    qInfo() << "modules answering:" << data.pcrModels;
    mMachineData = data;
    emit signalMachineData(mMachineData);
    if (mMachineData.isOpen)
        return;
    // None answers: the instrument is off or gone; look for it as at start-up.
    mCheckTimer->stop();
    mRetryTimer->start();
}

void ListenInterface::slotEngineError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError)
        return;
    mMachineData.isOpen = false;
    emit signalMachineData(mMachineData);
    mCheckTimer->stop();
    mRetryTimer->start();
}
