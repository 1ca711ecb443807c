#pragma once

#include "sim/FaultPlan.h"
#include "sim/SimInstrument.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QObject>

class QSocketNotifier;

// The simulated instrument's end of a pseudo-terminal: reads request frames, logs them, and
// writes the instrument's replies through the fault plan.
class PtyServer : public QObject
{
    Q_OBJECT
public:
    PtyServer(SimInstrument* instrument, const FaultPlan& faults, QObject* parent = nullptr);
    ~PtyServer() override;

    // Opens the terminal; its path (the end a program opens as its serial port), empty on failure.
    QString open(QString& error);
    bool setLog(const QString& path);
    // A new terminal after a vanish (the link is gone for good only once): its path, or empty.
    QString reopen(QString& error);
    // Every reply frame as it leaves (faults applied, stray bytes not included), one per line.
    bool setReplyLog(const QString& path);

signals:
    void vanished();

private:
    void readRequests();
    void handle(const QByteArray& request);
    bool silenced(const QByteArray& request);
    // The module has answered as many requests of its stop sequence as it will.
    bool silentInStop(const QByteArray& request);
    void send(const QByteArray& bytes);
    void writeNow(const QByteArray& bytes);
    void vanish();

    SimInstrument* mInstrument;
    FaultPlan mFaults;
    int mMaster = -1;
    int mSlave = -1; // held open so the terminal survives a client closing and reopening it
    QSocketNotifier* mNotifier = nullptr;
    QByteArray mBuffer;
    int mRequests = 0;
    int mReplies = 0;
    int mSilentModuleReadings = 0;
    int mFaultableRequests = 0; // requests and replies of the codes faults are limited to
    int mFaultableReplies = 0;
    int mPositionRequests = 0;
    QMap<int, int> mStopRequests; // per module, the requests since its first heater stop
    QFile mLog;
    QFile mReplyLog;
    QElapsedTimer mClock;
    QElapsedTimer mSilentSince;
};
