#pragma once

#include "instrument/Machine.h"
#include "instrument/RunRecorder.h"
#include "method/InData.h"

#include <QObject>
#include <QTextStream>
#include <functional>

class OutData;

// One headless run: receives the machine's reports for its module, prints the status line,
// records the curves, and saves the experiment when the run ends.
class RunSession : public QObject
{
    Q_OBJECT
public:
    // linkWaitMs: how long an ended run waits for its module's stop sequence to be answered (the
    // link found again, the module answering again) before the process ends.
    RunSession(Machine* machine, const InData& input, const QString& path, QTextStream& out, int linkWaitMs = 60000);

    void start();
    void stop();
    // 0 after a normal end (or a stop), 3 after an instrument error, 1 when saving failed, 4 when
    // the module's stop sequence could not be played (its heaters may still be on).
    static constexpr int StopUnconfirmedExit = 4;
    int exitCode() const { return mExitCode; }
    const QString& path() const { return mPath; }
    // What the record store adds to the record before it is saved (its id).
    std::function<void(OutData&)> beforeSave;

signals:
    void finished();

public slots:
    void slotConnectData(const ConnectData& data);
    void slotReactInfo(Machine::REACT_INFO info, char number);

private:
    // How often the link is looked for, or the silent module asked, while its stop is awaited.
    static constexpr int RetryMs = 1000;
    void awaitStop();
    void giveUpStop();

    Machine* mMachine;
    InData mInput;
    QString mPath;
    QTextStream& mOut;
    RunRecorder mRecorder;
    QString mLastLine;
    int mExitCode = 0;
    int mLinkWaitMs;
    bool mStopping = false;
    bool mAwaitingStop = false;
};
