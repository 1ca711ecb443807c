#include "platform/PortWatcher.h"

#include <QDebug>
#include <QSocketNotifier>

#include <libudev.h>

PortWatcher::PortWatcher(QObject* parent) : QObject(parent)
{
    mUdev = udev_new();
    if (mUdev)
        mMonitor = udev_monitor_new_from_netlink(mUdev, "udev");
    if (!mMonitor || udev_monitor_filter_add_match_subsystem_devtype(mMonitor, "tty", nullptr) < 0
        || udev_monitor_enable_receiving(mMonitor) < 0) {
        qDebug() << "port watcher: udev is not available, ports are found by polling only";
        return;
    }
    mNotifier = new QSocketNotifier(udev_monitor_get_fd(mMonitor), QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &PortWatcher::readEvent);
}

PortWatcher::~PortWatcher()
{
    delete mNotifier;
    if (mMonitor)
        udev_monitor_unref(mMonitor);
    if (mUdev)
        udev_unref(mUdev);
}

void PortWatcher::readEvent()
{
    udev_device* device = udev_monitor_receive_device(mMonitor);
    if (!device)
        return;
    const QString action = QString::fromLatin1(udev_device_get_action(device));
    const char* node = udev_device_get_devnode(device);
    const QString path = node ? QString::fromLocal8Bit(node) : QString();
    udev_device_unref(device);
    if (action == "add")
        emit portArrived(path);
    else if (action == "remove")
        emit portRemoved(path);
}
