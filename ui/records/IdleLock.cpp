#include "ui/records/IdleLock.h"

#include "app/DataHead.h"
#include "records/StoreThread.h"

#include <QEvent>

IdleLock::IdleLock(int idleMs, QObject* parent) : QObject(parent)
{
    mTimer.setSingleShot(true);
    mTimer.setInterval(idleMs);
    mIdleMs = idleMs;
    connect(&mTimer, &QTimer::timeout, this, [this] {
        // Not in the middle of an action waiting for the store: looked at again in a moment,
        // unless the person is back meanwhile.
        if (DataHead::instance()->getMpStore()->waiting())
            return mTimer.start(RetryMs);
        mTimer.setInterval(mIdleMs);
        emit idle();
    });
    mTimer.start();
}

bool IdleLock::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        mTimer.start(mIdleMs);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
