#pragma once

#include <QByteArray>
#include <QFile>
#include <QtGlobal>
#include <unistd.h>

// The readers under test take file paths; each input is written to a file of this process's own.
// Qt's diagnostics are silenced so the fuzzer's output stays readable.
namespace FuzzInput {

inline void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

inline QString file(const uint8_t* data, size_t size, const char* suffix)
{
    static const bool silenced = (qInstallMessageHandler(quiet), true);
    Q_UNUSED(silenced);
    const QString path = QString("/tmp/tamarin-fuzz-%1%2").arg(::getpid()).arg(suffix);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

}
