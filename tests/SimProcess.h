#pragma once

#include <QFile>
#include <QProcess>
#include <QtTest>

// A simulated instrument in its own process, on a real pseudo-terminal, for as long as the object
// lives. logPath() holds every request frame it received, one per line.
class SimProcess
{
public:
    explicit SimProcess(const QStringList& options, const QString& dir)
        : mLog(dir + "/sim-frames.log")
    {
        mProcess.start(TAMARIN_SIM, QStringList{"--log", mLog} + options);
        if (mProcess.waitForStarted(10000) && mProcess.waitForReadyRead(10000))
            mPath = QString::fromUtf8(mProcess.readLine()).trimmed();
    }
    ~SimProcess()
    {
        mProcess.terminate();
        if (!mProcess.waitForFinished(5000))
            mProcess.kill();
        mProcess.waitForFinished();
    }
    QString path() const { return mPath; }
    QString logPath() const { return mLog; }

    // The request frames received so far, as "f9 01 d0 ..." without their times.
    QStringList frames() const
    {
        QStringList out;
        QFile f(mLog);
        if (!f.open(QIODevice::ReadOnly))
            return out;
        for (const QByteArray& line : f.readAll().split('\n'))
            if (!line.isEmpty())
                out << QString::fromLatin1(line.mid(line.indexOf(' ') + 1));
        return out;
    }

private:
    QProcess mProcess;
    QString mLog;
    QString mPath;
};
