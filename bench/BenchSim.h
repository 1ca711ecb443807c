#pragma once

#include "app/Settings.h"
#include "app/UI.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// A simulated instrument for a benchmark, in a fresh working directory whose settings name its
// terminal; its request log (time in ms, then the frame) in requests.log there.
class BenchSim
{
public:
    explicit BenchSim(const QStringList& options)
    {
        QDir::setCurrent(mDir.path());
        QDir().mkpath("ini");
        mProcess.start(TAMARIN_SIM, QStringList{"--log", logPath()} + options);
        if (!mProcess.waitForStarted() || !mProcess.waitForReadyRead(10000))
            return;
        mPath = QString::fromUtf8(mProcess.readLine()).trimmed();
        Settings(UI::SettingsFile, QSettings::IniFormat).setComName(mPath);
    }
    ~BenchSim()
    {
        mProcess.terminate();
        mProcess.waitForFinished();
    }
    bool started() const { return !mPath.isEmpty(); }
    QString logPath() const { return mDir.filePath("requests.log"); }

    // When each request reached the simulator, in its milliseconds, with the module it was for
    // and its command code.
    struct Request
    {
        qint64 ms;
        int module;
        int code;
    };
    QVector<Request> requests() const
    {
        QVector<Request> out;
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return out;
        for (const QByteArray& line : log.readAll().split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() > 3)
                out.push_back({f[0].toLongLong(), f[2].toInt(nullptr, 16), f[3].toInt(nullptr, 16)});
        }
        return out;
    }

private:
    QTemporaryDir mDir;
    QProcess mProcess;
    QString mPath;
};
