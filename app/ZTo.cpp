#include "app/ZTo.h"

#include <QEventLoop>
#include <QTime>
#include <QTimer>

namespace ZTo {

QString secondToTimeString(int seconds)
{
    if (seconds < 0 || seconds >= 24 * 3600)
        return QString();
    return QTime::fromMSecsSinceStartOfDay(seconds * 1000).toString("hh:mm:ss");
}

void delayMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}
