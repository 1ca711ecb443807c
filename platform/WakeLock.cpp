#include "platform/WakeLock.h"

#include <QDebug>
#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusConnectionInterface>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusReply>

namespace Platform {

WakeLock::WakeLock(const QString& who) : mWho(who) {}

WakeLock::~WakeLock() = default;

bool WakeLock::acquire()
{
    if (isHeld())
        return true;
#ifdef Q_OS_WIN
    // Holds for the life of the process's thread state, as logind's descriptor does on Linux.
    mHeld = SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED) != 0;
    if (!mHeld)
        qDebug() << "wake lock: refused, the machine may sleep during a run";
    return mHeld;
#else
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        qDebug() << "wake lock: no system bus, the machine may sleep during a run";
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "Inhibit");
    call << QString("sleep:idle") << mWho << QString("PCR run in progress") << QString("block");
    QDBusReply<QDBusUnixFileDescriptor> reply = bus.call(call, QDBus::Block, 2000);
    if (!reply.isValid()) {
        qDebug() << "wake lock: logind refused:" << reply.error().message();
        return false;
    }
    mFd = reply.value();
    return isHeld();
#endif
}

bool WakeLock::isHeld() const
{
#ifdef Q_OS_WIN
    return mHeld;
#else
    return mFd.isValid();
#endif
}

}
