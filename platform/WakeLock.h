#pragma once

#include <QString>
#include <QtDBus/QDBusUnixFileDescriptor>

namespace Platform {

// Keeps the machine from sleeping or blanking while a run may be in progress. On Linux this is
// a systemd-logind "sleep:idle" inhibitor: logind hands out a file descriptor and the lock lasts
// exactly as long as that descriptor is open, so it ends with this object (or the process).
class WakeLock
{
public:
    explicit WakeLock(const QString& who);
    ~WakeLock();
    WakeLock(const WakeLock&) = delete;
    WakeLock& operator=(const WakeLock&) = delete;

    // Asks for the lock; true when it is held. Without a reachable system bus this logs one
    // debug line and returns false: the program works the same, the machine may just sleep.
    bool acquire();
    bool isHeld() const;

private:
    QString mWho;
    QDBusUnixFileDescriptor mFd;
    bool mHeld = false; // Windows: the execution state was granted
};

}
