#pragma once

#include "instrument/Machine.h"
#include "instrument/MachineData.h"
#include "instrument/ModuleSlot.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>

class Engine;
class QThread;
class QTimer;

// The serial link's own thread: owns the port and plays the modules' steps on it. Each module is
// served by its own deadline, and the wire carries one attempt of one command at a time: the
// resends to a module that does not answer take their turns among the other modules' due
// commands, so a silent module costs the others at most one read window per turn of its own.
// The machine calls in queued and hears back through the signals; nothing here waits for a window.
class LinkWorker : public QObject
{
    Q_OBJECT
public:
    // tickMs: a quarter of what each module spends on a step; waitMs: the engine's pause between reads.
    LinkWorker(int tickMs, int waitMs);

    // All of these run in the worker's thread.
    void begin();
    void play(const QStack<ControlElement>& steps, const SMethod& method, int number);
    // Replaces a playing run's remaining steps by its stop sequence; nothing once the run is over
    // or already stopping.
    void stop(int number);
    void makeSafe(int number, const SMethod& method);
    // Looks for the instrument: every candidate port, each address asked for a temperature once.
    MachineData probe();
    void probeAndReport();
    // Asks the idle modules for a temperature, between the runs' steps; reported by checked.
    void check(const MachineData& known);
    void closePort();
    // Closes the port and hands the worker to home, the thread that deletes it.
    void finish(QThread* home);

signals:
    void connectData(const ConnectData& data);
    // note: why a run that played to its end is still not complete (the link was down too long).
    void reactInfo(Machine::REACT_INFO info, char number, const QString& note);
    // The module answered every command of its stop sequence.
    void safeState(char number);
    // The module's stop sequence could not be played in full (no answer, or the port is down):
    // its heaters may still be on. Played again once it answers.
    void stopUnanswered(char number);
    // A module that answers again still owes its stop sequence: it plays it once more.
    void safing(char number);
    void linkError(QSerialPort::SerialPortError error);
    void portOpen(bool open);
    void probed(const MachineData& data);
    void checked(const MachineData& data);

private:
    // Steps falling due later than this are given up rather than played back to back.
    static constexpr int MaxBehindSteps = 2;
    // An idle module is taken for gone after this many checks in a row without an answer.
    static constexpr int MaxMissedChecks = 3;

    qint64 stepMs() const { return 4 * qint64(mTickMs); }
    qint64 slotAtOrAfter(qint64 t, int number) const;
    void serve();
    void arm();
    void beginDueStep(int number, qint64 now);
    void startStep(int number, const StepPlan& plan, ModuleSlot::Activity activity, qint64 due);
    int triesOf(const ModuleSlot& slot) const;
    void exchange(int number);
    void endStep(int number);
    void endRun(int number);
    void endSafePass(int number);
    void checkAnswered(int number, bool answered);
    void linkDown();
    void linkUp();

    int mTickMs;
    Engine* mEngine;
    QTimer* mWake;
    QElapsedTimer mClock;
    QVector<ModuleSlot> mSlots;
    MachineData mCheckData;
    int mChecksLeft = 0;
    int mNextAbsent = 1;
};
