#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// Moves the test into a fresh temporary working directory for its whole life, so that nothing
// a test writes lands in the source tree or meets another test's files.
class TestDir
{
public:
    TestDir() : mOld(QDir::currentPath())
    {
        QVERIFY2(mDir.isValid(), "no temporary directory");
        QDir::setCurrent(mDir.path());
    }
    ~TestDir() { QDir::setCurrent(mOld); }
    QString path() const { return mDir.path(); }
    QString file(const QString& name) const { return mDir.filePath(name); }

private:
    QString mOld;
    QTemporaryDir mDir;
};
