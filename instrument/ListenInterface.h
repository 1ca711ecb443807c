#pragma once

#include "instrument/MachineData.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QSerialPort>

class Machine;
class PortWatcher;
class QTimer;

// Finds the instrument and reports whether it is connected and which modules answer. A probe
// runs one poll interval after start-up and after a serial port appears; while disconnected it
// is repeated every retry interval, since some ports (a pseudo-terminal) announce nothing. While
// connected, the idle modules are asked every check interval whether they still answer. Probes
// and checks run on the link's thread; their answers come back as signals.
class ListenInterface : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit ListenInterface(Machine* machine = nullptr, int intervalMs = 1000, int retryMs = 3000, int checkMs = 3000,
                             QObject* parent = nullptr);
    ~ListenInterface() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, long* result) override;

signals:
    void signalMachineData(MachineData data);

public slots:
    void slotTimeout();
    void slotEngineError(QSerialPort::SerialPortError error);

private:
    void portArrived();
    void portRemoved();
    void checkModules();
    void probed(const MachineData& data);
    void checked(const MachineData& data);

    QTimer* mTimer;
    int mInterval;
    MachineData mMachineData;
    Machine* mMachine;
    QTimer* mRetryTimer;
    QTimer* mCheckTimer;
    PortWatcher* mWatcher;
    bool mProbing = false;  // a probe was asked for and has not answered yet
    bool mChecking = false; // the same for an idle check
};
