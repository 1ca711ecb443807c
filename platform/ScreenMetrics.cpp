#include "platform/ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace Platform {

QSize availableScreenSize()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize();
}

}
