#include "ui/records/IdleLock.h"

#include <QEvent>

IdleLock::IdleLock(int idleMs, QObject* parent) : QObject(parent)
{
    mTimer.setSingleShot(true);
    mTimer.setInterval(idleMs);
    connect(&mTimer, &QTimer::timeout, this, &IdleLock::idle);
    mTimer.start();
}

bool IdleLock::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        mTimer.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
