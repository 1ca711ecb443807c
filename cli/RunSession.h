#pragma once

#include "instrument/Machine.h"
#include "instrument/RunRecorder.h"
#include "method/InData.h"

#include <QObject>
#include <QTextStream>

// One headless run: receives the machine's reports for its module, prints the status line,
// records the curves, and saves the experiment when the run ends.
class RunSession : public QObject
{
    Q_OBJECT
public:
    RunSession(Machine* machine, const InData& input, const QString& path, QTextStream& out);

    void start();
    void stop();
    // 0 after a normal end (or a stop), 3 after an instrument error, 1 when saving failed.
    int exitCode() const { return mExitCode; }
    const QString& path() const { return mPath; }

signals:
    void finished();

public slots:
    void slotConnectData(const ConnectData& data);
    void slotReactInfo(Machine::REACT_INFO info, char number);

private:
    // How long an ended run waits for its module's stop sequence before the process ends.
    static constexpr int SafeStateWaitMs = 60000;

    Machine* mMachine;
    InData mInput;
    QString mPath;
    QTextStream& mOut;
    RunRecorder mRecorder;
    QString mLastLine;
    int mExitCode = 0;
    bool mStopping = false;
};
