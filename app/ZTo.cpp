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

namespace {
int paceMs = 1000;
}

void setStepMs(int ms)
{
    paceMs = qMax(1, ms);
}

QString runTimeString(qint64 steps)
{
    return secondToTimeString(int(qMin<qint64>((qMax<qint64>(steps, 0) * paceMs + 999) / 1000, 24 * 3600)));
}

void delayMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}
