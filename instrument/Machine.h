#pragma once

#include "instrument/ConnectData.h"
#include "instrument/Engine.h"
#include "instrument/MachineData.h"
#include "method/SMethod.h"

#include <QObject>
#include <QPointer>
#include <QStack>
#include <QElapsedTimer>
#include <QTimer>
#include <QVector>

// Plays step lists on up to four PCR modules behind the one serial port. A single timer serves
// the modules in turn, one step each per turn, so every module advances one step per second.
class Machine : public QObject
{
    Q_OBJECT
public:
    // FINISHED: the whole step list was played. STOPPED: the run was ended early and its stop
    // sequence played. ERROR: a step failed (the stop sequence follows on its own).
    enum REACT_INFO { REACT_FINISHED = 0, REACT_STOPPED = 1, REACT_ERROR = 2 };
    Q_ENUM(REACT_INFO)

    static Machine* instance();
    // The turn of the program's own machine, set before its first use: a quarter of the time each
    // module spends on a step (250 on the instrument; shorter only for demos and tests).
    static void setInstanceTickMs(int tickMs);
    // tickMs: one module's turn (250 in the program, so each module steps once a second);
    // waitMs: the engine's pause between reads.
    explicit Machine(int tickMs = 250, int waitMs = 20, QObject* parent = nullptr);
    ~Machine() override;

    // False, and nothing done, while the module plays another run or another receiver holds it.
    // Reports reach the receiver queued, after the step, so that whatever it opens in answer
    // never holds up the steps of any module.
    bool run(const SMethod& method, QObject* receiver, int number);
    // Plays any step list (first element first) for a method: what run does with the method's
    // whole run list.
    bool play(const QStack<ControlElement>& steps, const SMethod& method, QObject* receiver, int number);
    void stop(int number);
    bool isPcrRunning() const;
    bool isPcrRunning(int number) const;
    // After a failed run the module still has its stop sequence to play (held while the port is
    // closed, so it reaches the module once the link is back), unless a new run starts on it.
    bool isSafing(int number) const;
    // A module that a crashed run of this program left may still hold a hot step: plays the
    // method's stop sequence on it once the port is open, and keeps new tests off it until then.
    // False, and nothing done, when a test of this program owns the module.
    bool makeSafe(int number, const SMethod& method);
    const QVector<bool>& getMIsRunning() const { return mIsRunning; }
    const QVector<bool>& getMIsEmployed() const { return mIsEmployed; }
    // A module is held by one owner (a page or a headless run) from its creation until its run
    // is over; only that owner's release frees it.
    void setPcrEmployed(bool employed, int number, const QObject* owner);
    int getPcrCount() const { return 5; }
    // What each module spends on a step: four turns (1000 ms on the instrument).
    int stepMs() const { return 4 * mTickMs; }

    // The connection probe; while a step is executing it cannot use the port and reports an
    // undecided state (isSync false), to be asked again.
    MachineData getMachineData();
    // While connected: asks each module that plays nothing for a temperature reading, once, and
    // returns the state with the modules that answered; a module playing a run or a stop sequence
    // keeps its place. Modules that were absent are asked one per call, since each one that stays
    // silent costs the port a read window.
    MachineData checkModules(const MachineData& known);
    bool isOpenState() const;
    // Closes the port; the connection monitor hears of it and looks for the instrument again.
    void closeMachine();
    // A step or a probe is using the port.
    bool isBusy() const { return mBusy; }
    Engine* engine() const { return mpEngine; }

    // Executes one step on a module: 0 or a failure code.
    int modelRun(ControlElement element, char number);

signals:
    void signalEngineError(QSerialPort::SerialPortError error);
    void signalConnectData(const ConnectData& data);
    void signalReactInfo(Machine::REACT_INFO info, char number);
    // A failed run's stop sequence has been played on the module.
    void signalSafeState(char number);
    void signalPortClosed();

public slots:
    void slotTimerOut();

private:
    // Owed turns beyond this (two seconds of all four modules) are not caught up.
    static constexpr qint64 MaxOwedTurns = 8;
    void serveTurn();
    void playSafeStep(int number);
    int readHoles(char number, unsigned int dataType);
    void report(char number, const ConnectData& data);
    static bool validModule(int number) { return number >= 0 && number < 5; }

    Engine* mpEngine;
    QTimer* mpTimer;
    QVector<bool> mIsRunning;
    QVector<bool> mIsEmployed;
    QVector<SMethod> mMethods;
    QVector<QStack<ControlElement>> mCmdStacks;
    QVector<QStack<ControlElement>> mSafeStacks;
    QVector<bool> mReleaseWhenSafe;
    QVector<bool> mStopped;
    QVector<bool> mSafeAgain; // a step of the stop sequence went unanswered
    QVector<const QObject*> mOwners;
    QVector<ConnectData> mConnectDatas;
    QVector<QPointer<QObject>> mReceivers;
    int mTurn = 1;
    int mNextAbsent = 1;
    bool mBusy = false;
    int mTickMs;
    QElapsedTimer mClock; // turns are owed by elapsed time, not by timer events
    qint64 mServedTurns = 0;
};
