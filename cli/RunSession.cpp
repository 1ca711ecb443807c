#include "cli/RunSession.h"

#include "app/ExperimentName.h"
#include "app/UI.h"
#include "instrument/StatusLine.h"

#include <QTimer>

RunSession::RunSession(Machine* machine, const InData& input, const QString& path, QTextStream& out, int linkWaitMs)
    : mMachine(machine), mInput(input), mPath(path), mOut(out),
      mRecorder(input.method.Hole * input.method.ChannelColor), mLinkWaitMs(linkWaitMs)
{
}

void RunSession::start()
{
    mMachine->setPcrEmployed(true, mInput.pcrNumber, this);
    mOut << initialStatusLine(mInput.method, mMachine->stepMs()) << "\n";
    mOut.flush();
    mRecorder.keepRecoveryCopy(mInput, mPath);
    mMachine->run(mInput.method, this, mInput.pcrNumber);
}

void RunSession::stop()
{
    // Once the run is over only its stop sequence is awaited: an interrupt ends the wait, said.
    if (mAwaitingStop)
        return giveUpStop();
    if (mStopping)
        return;
    mStopping = true;
    mOut << "stopping: playing the stop sequence\n";
    mOut.flush();
    mMachine->stop(mInput.pcrNumber);
}

void RunSession::slotConnectData(const ConnectData& data)
{
    if (data.pcrIndex != mInput.pcrNumber)
        return;
    mRecorder.addReport(data);
    if (data.dataType != ConnectData::TEMPERATURE)
        return;
    // Printed when it changes, so a long hold does not repeat the same line every second.
    const QString line = statusLine(mInput.method, data, mMachine->stepMs());
    if (line != mLastLine) {
        mOut << line << "\n";
        mOut.flush();
        mLastLine = line;
    }
}

void RunSession::slotReactInfo(Machine::REACT_INFO info, char number)
{
    if (int(number) != mInput.pcrNumber)
        return;
    mMachine->setPcrEmployed(false, mInput.pcrNumber, this);
    disconnect(mMachine, nullptr, this, nullptr);

    OutData data;
    data.inData = mInput;
    data.noteRunZone();
    data.inData.appendRemark(mMachine->runNote(mInput.pcrNumber));
    mRecorder.fill(data);
    // Without an operator to ask, the data of a failed run is kept too, marked as not complete.
    data.runComplete = info == Machine::REACT_FINISHED;
    if (info == Machine::REACT_ERROR) {
        mOut << mMachine->runNote(mInput.pcrNumber) << ": the readings so far are kept, marked incomplete\n";
        mExitCode = 3;
    } else if (info == Machine::REACT_LINK_LOST) {
        mOut << "PCR " << mInput.pcrNumber << ": " << mMachine->runNote(mInput.pcrNumber) << "; the readings are kept, marked incomplete\n";
        mExitCode = 3;
    }
    // A file that appeared under this name during the run is never replaced.
    const QString path = ExperimentName::freePath(mPath);
    if (beforeSave)
        beforeSave(data);
    if (path.isEmpty() || !data.saveAsFilePath(path)) {
        mOut << UI::SaveDataFailInfo << " " << mPath << "; the readings stay in its recovery copy\n";
        mExitCode = 1;
    } else {
        mRecorder.dropRecoveryCopy();
        if (path != mPath)
            mOut << mPath << " appeared during the run and is kept; ";
        mOut << "saved " << path << "\n";
        mPath = path;
    }
    mOut.flush();
    if (!mMachine->isSafing(mInput.pcrNumber))
        return emit finished();
    awaitStop();
}

void RunSession::awaitStop()
{
    // The process must not end before the module's heaters are off: the link is looked for again
    // while it is down, and the module asked while its stop is unanswered, which plays the stop
    // sequence again once it answers; for a bounded time only.
    mAwaitingStop = true;
    mOut << "PCR " << mInput.pcrNumber << ": playing the stop sequence\n";
    mOut.flush();
    connect(mMachine, &Machine::signalSafeState, this, [this](char number) {
        if (int(number) != mInput.pcrNumber || !mAwaitingStop)
            return;
        mAwaitingStop = false;
        mOut << "PCR " << mInput.pcrNumber << ": stop sequence played\n";
        mOut.flush();
        emit finished();
    });
    auto* retry = new QTimer(this);
    connect(retry, &QTimer::timeout, this, [this] {
        if (!mMachine->isOpenState())
            return mMachine->requestProbe();
        if (!mMachine->isStopOwed(mInput.pcrNumber))
            return;
        MachineData known;
        known.isOpen = true;
        known.pcrModels = QVector<quint8>(5, 0);
        known.pcrModels[mInput.pcrNumber] = quint8(mInput.pcrNumber);
        mMachine->requestCheck(known);
    });
    retry->start(RetryMs);
    QTimer::singleShot(mLinkWaitMs, this, &RunSession::giveUpStop);
}

void RunSession::giveUpStop()
{
    if (!mAwaitingStop)
        return;
    mAwaitingStop = false;
    mOut << "PCR " << mInput.pcrNumber << ": the stop sequence could not be played; check the module\n";
    mOut.flush();
    mExitCode = StopUnconfirmedExit;
    emit finished();
}
