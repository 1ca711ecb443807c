#pragma once

#include <QProcess>
#include <QtTest>

// Runs tamarin-cli and keeps what it printed.
struct CliResult
{
    int code = -1;
    QString out;
    QString err;
};

// input is what the verb reads from standard input (passwords, one a line).
inline CliResult runCli(const QStringList& arguments, int timeoutMs = 60000, const QByteArray& input = QByteArray())
{
    QProcess p;
    p.start(TAMARIN_CLI, arguments);
    p.write(input);
    p.closeWriteChannel();
    CliResult r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = "timed out";
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
