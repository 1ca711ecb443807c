#pragma once

#include "instrument/Command.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QVector>

#include <functional>

// The serial driver: finds the instrument's port, configures it and carries out one
// request/reply exchange at a time, with the instrument's commands on top.
class Engine : public QSerialPort
{
    Q_OBJECT
public:
    enum SERIALPORT_INFO {
        SERIALPORT_NO_ERROR = 0,
        SERIALPORT_WRITE_ERROR = 1,
        SERIALPORT_READ_ERROR = 2,
        SERIALPORT_CRCERROR = 3,
        SERIALPORT_EXISTERROR = 4,
    };
    Q_ENUM(SERIALPORT_INFO)
    enum OUTLED_STATE { OUTLED_NORMAL = 1, OUTLED_STOP = 2, OUTLED_SPACE = 3 };
    Q_ENUM(OUTLED_STATE)
    enum INLED_NUMBER { ROX_LEFT = 1, FAM_LEFT = 2, FAM_RIGHT = 4, ROX_RIGHT = 8 };
    Q_ENUM(INLED_NUMBER)
    enum ROTOR_DIRECT { ROTOR_GO = 1, ROTOR_BACK = 2 };
    Q_ENUM(ROTOR_DIRECT)
    enum ROTOR_DATA_MODEL { NORMAL = 0, AUTO = 3, SUCESSIVE = 255 };
    Q_ENUM(ROTOR_DATA_MODEL)
    enum UDROTOR_CONTROL { DOWN = 1, UP_RESET = 2 };
    Q_ENUM(UDROTOR_CONTROL)
    enum TEC_LOCAL { TEC_UP = 0xB1, TEC_DOWN = 0xA1 };

    static constexpr int RepeatableTries = Command::RepeatableTries;

    // waitMs: a sixth of the read window a reply is awaited for (20 in the program).
    explicit Engine(int waitMs = 20, QObject* parent = nullptr);
    ~Engine() override;

    // The port named by "SET/COM" in the settings file, if any, then the ports that are not busy
    // and belong to the instrument's USB-serial adapter.
    QStringList getCurrentComList() const;
    static QString configuredPort();
    // Opens and configures the port; the port's error code (0 = none).
    int initCom(const QString& name);
    void closeCom();

    // One exchange; at most retries + 1 attempts, the counter shared by all of them. The wait
    // blocks the calling thread (the link's own), so exchanges never interleave.
    int serialSendData(const QByteArray& request, QByteArray& reply, int replyLength, char address, bool checkCrc, int& retries);
    // Writes a request without awaiting a reply: 1 on a short write, else 0.
    int serialSendData(const QByteArray& request, char address);
    // One attempt of a command: its request written once and its reply awaited for one read
    // window, without resends and without waiting for a late reply to an earlier request (the
    // caller schedules both). Bytes left over from earlier exchanges are discarded first.
    int attempt(const Command& command, QByteArray& reply);
    // The read window: how long one attempt waits for its reply.
    int readWindowMs() const { return mWaitMs * (ReadPolls + 1); }

    QString SendData() const;
    QString RecData() const;

    static quint16 CRC16_IBM(const unsigned char* data, int length);
    static quint8 InvertUint8(quint8 value);
    static quint16 InvertUint16(quint16 value);

    // The command set. The last argument is always the module address.
    int outLed(OUTLED_STATE state, char addr);
    int outFan(bool on, char addr);
    int inLed(bool on, char addr);
    int inLed(quint8 mask, char addr);
    int upFan(bool on, char addr);
    int downFan(bool on, char addr);
    int moveRotor(ROTOR_DIRECT direction, int a, int b, ROTOR_DATA_MODEL mode, char addr);
    int testRotor(char addr);
    int resetRotor(char addr);
    int testProRotor(char addr);
    int moveUDRotor(UDROTOR_CONTROL action, int a, int b, char addr);
    int setTemp(TEC_LOCAL heater, double celsius, char addr);
    int setTemp(double up, double down, char addr);
    // tries: 4 in a run; the connection probe asks each address once.
    int stopTemp(TEC_LOCAL heater, char addr, int tries = 4);
    int getTemp(TEC_LOCAL heater, double& celsius, char addr, int tries = RepeatableTries);
    int holeInfo(int position, int channels, QVector<double>& values, char addr);
    int pointInfo(int channels, QVector<double>& values, char addr);
    int holeInfos(int holes, int channels, QVector<double>& values, char addr);
    static QVector<double> pdValues(int channels, const QByteArray& reply);

signals:
    // A port error that ended the link (the port is closed by then).
    void signalLinkError(QSerialPort::SerialPortError error);

public slots:
    void slotError(QSerialPort::SerialPortError error);

private:
    // A reply is awaited for ReadPolls + 1 pauses of waitMs: the read window. The thread waits
    // without serving events, and the reply is taken as soon as it is whole.
    static constexpr int ReadPolls = 5;
    // Everything the port receives within ms; less when the port closes or enough says the
    // bytes so far will do.
    QByteArray readFor(int ms, const std::function<bool(const QByteArray&)>& enough = nullptr);
    // A line that keeps talking is given up on after this many windows.
    static constexpr int MaxDrainWindows = 10;

    void drainLateReply();
    int attemptOnce(const QByteArray& request, QByteArray& reply, int replyLength, char address, bool checkCrc);
    int command(const Command& command, QByteArray* reply = nullptr);

    unsigned char mSendHead = 0xF9;
    unsigned char mRecHead = 0xF8;
    int mWaitMs;
    QByteArray mRecData;
    QByteArray mSendData;
    bool mUnanswered = false; // a request's reply did not arrive in time (it may still come)
    QElapsedTimer mSinceWrite;
};
