#include "app/LogFile.h"

#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>
#include <QMutex>

#include <cstdio>

namespace LogFile {

namespace {
QFile file;
qint64 limit = 0;
QMutex lock;

const char* level(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg: return "debug";
    case QtInfoMsg: return "info";
    case QtWarningMsg: return "warning";
    case QtCriticalMsg: return "critical";
    case QtFatalMsg: return "fatal";
    }
    return "?";
}

void rotate()
{
    const QString path = file.fileName();
    file.close();
    QFile::remove(path + ".1");
    QFile::rename(path, path + ".1");
    file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

void write(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    const QByteArray line = QString("%1 %2 %3\n")
                                .arg(QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss.zzz"), level(type), message)
                                .toUtf8();
    const QMutexLocker locked(&lock);
    if (file.isOpen() && file.size() + line.size() > limit)
        rotate();
    if (file.isOpen()) {
        file.write(line);
        file.flush();
    }
    // What goes wrong is seen where the program was started, too.
    if (type >= QtWarningMsg)
        std::fputs(line.constData(), stderr);
}
}

bool install(const QString& path, bool verbose, qint64 maxBytes)
{
    if (!verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    limit = qMax<qint64>(maxBytes, 4096);
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    qInstallMessageHandler(write);
    return true;
}

}
