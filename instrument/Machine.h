#pragma once

#include "instrument/ConnectData.h"
#include "instrument/MachineData.h"
#include "method/SMethod.h"

#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QStack>
#include <QVector>

class LinkWorker;
class QThread;

// The program's way to the instrument: plays step lists on up to four PCR modules behind the one
// serial port, each module one step a second. The port and the steps live on the link's own
// thread; this object, on the caller's thread, forwards every request there without waiting
// and keeps what the callers ask about (which modules run, which are held), so that no window
// ever waits for the serial line.
class Machine : public QObject
{
    Q_OBJECT
public:
    // FINISHED: the whole step list was played. STOPPED: the run was ended early and its stop
    // sequence played. ERROR: a step failed (the stop sequence follows on its own). LINK_LOST:
    // the whole list was played, but the link was down for longer than a step meanwhile, so its
    // set-points may not have held (runNote says for how long).
    enum REACT_INFO { REACT_FINISHED = 0, REACT_STOPPED = 1, REACT_ERROR = 2, REACT_LINK_LOST = 3 };
    Q_ENUM(REACT_INFO)

    static Machine* instance();
    // The turn of the program's own machine, set before its first use: a quarter of the time each
    // module spends on a step (250 on the instrument; shorter only for demos and tests).
    static void setInstanceTickMs(int tickMs);
    // tickMs: one module's turn (250 in the program, so each module steps once a second);
    // waitMs: the engine's pause between reads.
    explicit Machine(int tickMs = 250, int waitMs = 20, QObject* parent = nullptr);
    ~Machine() override;
    // Closes the port and ends the link's thread; nothing reaches the instrument afterwards.
    void shutdown();

    // False, and nothing done, while the module plays another run or another receiver holds it.
    // Reports reach the receiver queued, so that whatever it opens in answer never holds up the
    // steps of any module.
    bool run(const SMethod& method, QObject* receiver, int number);
    // Plays any step list (first element first) for a method: what run does with the method's
    // whole run list.
    bool play(const QStack<ControlElement>& steps, const SMethod& method, QObject* receiver, int number);
    // Ends a playing run with its stop sequence; nothing once the run is over.
    void stop(int number);
    bool isPcrRunning() const;
    bool isPcrRunning(int number) const;
    // After a failed run the module still has its stop sequence to play (held while the port is
    // closed, so it reaches the module once the link is back), unless a new run starts on it.
    bool isSafing(int number) const;
    // The module's stop sequence went unanswered (or the port is down): its heaters may still be
    // on. The module stays held, and the idle check plays the sequence again once it answers.
    bool isStopOwed(int number) const;
    QList<int> stopOwedModules() const;
    // A module that a crashed run of this program left may still hold a hot step: plays the
    // method's stop sequence on it once the port is open, and keeps new tests off it until then.
    // False, and nothing done, when a test of this program owns the module.
    bool makeSafe(int number, const SMethod& method);
    const QVector<bool>& getMIsRunning() const { return mIsRunning; }
    const QVector<bool>& getMIsEmployed() const { return mIsEmployed; }
    // A module is held by one owner (a page or a headless run) from its creation until its run
    // is over; only that owner's release frees it, and a module whose stop sequence is not
    // confirmed yet is freed only once it is.
    void setPcrEmployed(bool employed, int number, const QObject* owner);
    int getPcrCount() const { return 5; }
    // What each module spends on a step: four turns (1000 ms on the instrument).
    int stepMs() const { return 4 * mTickMs; }
    // Why the module's last run is incomplete although it played to its end, for the record's
    // remark; empty when nothing is to be said.
    QString runNote(int number) const;

    // The connection probe, waited for: only for callers without a window (the command-line
    // tool, tests).
    MachineData getMachineData();
    // The probe and the idle check of the connection monitor, answered by signalProbed and
    // signalChecked. The check asks each module that plays nothing for a temperature; one that
    // misses several checks in a row is taken for gone.
    void requestProbe();
    void requestCheck(const MachineData& known);
    bool isOpenState() const;
    // Closes the port; the connection monitor hears of it and looks for the instrument again.
    void closeMachine();

signals:
    void signalEngineError(QSerialPort::SerialPortError error);
    void signalConnectData(const ConnectData& data);
    void signalReactInfo(Machine::REACT_INFO info, char number);
    // A failed run's stop sequence has been played on the module and every command answered.
    void signalSafeState(char number);
    // A stop sequence could not be played in full; signalSafeState follows once it is.
    void signalStopUnconfirmed(char number);
    void signalPortClosed();
    void signalProbed(const MachineData& data);
    void signalChecked(const MachineData& data);

private:
    template <typename F>
    void post(F call);
    void reacted(Machine::REACT_INFO info, char number, const QString& note);
    void safe(char number);
    void oweStop(int number);
    static bool validModule(int number) { return number >= 0 && number < 5; }

    QThread* mThread;
    LinkWorker* mWorker;
    QVector<bool> mIsRunning;
    QVector<bool> mIsEmployed;
    QVector<bool> mSafing;
    QVector<bool> mStopOwed;
    QVector<bool> mReleaseWhenSafe;
    QVector<const QObject*> mOwners;
    QVector<QString> mNotes;
    bool mOpen = false;
    int mTickMs;
};
