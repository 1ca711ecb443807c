#pragma once

#include <QObject>

class QSocketNotifier;
struct udev;
struct udev_monitor;

// Tells when a serial port appears or disappears. On Linux this listens to udev's "tty"
// subsystem; where udev cannot be reached (a container, say) it stays silent and isActive()
// is false.
class PortWatcher : public QObject
{
    Q_OBJECT
public:
    explicit PortWatcher(QObject* parent = nullptr);
    ~PortWatcher() override;
    bool isActive() const { return mNotifier != nullptr; }

signals:
    void portArrived(const QString& device);
    void portRemoved(const QString& device);

private:
    void readEvent();

    udev* mUdev = nullptr;
    udev_monitor* mMonitor = nullptr;
    QSocketNotifier* mNotifier = nullptr;
};
