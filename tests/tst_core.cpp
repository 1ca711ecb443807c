#include "TestDir.h"
#include "app/DataHead.h"
#include "app/ExperimentName.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "app/ZDir.h"
#include "app/ZGLOBAL.h"
#include "app/ZTo.h"
#include "platform/FolderOpener.h"
#include "platform/WakeLock.h"

#include <QDateTime>
#include <QFile>
#include <QGuiApplication>

class TestCore : public QObject
{
    Q_OBJECT
private slots:
    void startUpCreatesTheSixFolders();
    void makingFoldersAgainChangesNothing();
    void compilingDate();
    void fileListsAreNewestFirstAndFiltered();
    void timeStrings();
    void md5();
    void writeFile();
    void settingsKeysAndUpdateAddress();
    void platformCalls();
    void experimentNames();
};

void TestCore::startUpCreatesTheSixFolders()
{
    TestDir dir;
    DataHead* head = DataHead::instance();
    QCOMPARE(head->getMSoftWareVersion(), QVersionNumber(0, 0, 15));
    QVERIFY(head->getMpJsonControl());
    for (const char* name : {"qvi", "qvo", "json", "usr_data", "temp", "log"})
        QVERIFY2(QFileInfo(dir.file(name)).isDir(), qPrintable(name));
    // Beside them, the record store the program opens at start.
    QVERIFY(QFileInfo(dir.file("records.sqlite")).isFile());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 7);
    QCOMPARE(UI::AppTitle.arg(head->getMSoftWareVersion().toString()), QString("双色双面荧光PCR v0.0.15"));
}

void TestCore::makingFoldersAgainChangesNothing()
{
    TestDir dir;
    const ZDir zdir;
    for (const QString& name : DataHead::workingDirectories())
        QVERIFY(zdir.mkDir(name));
    QVERIFY(ZGLOBAL::writeFile("json/a.json", "{}"));
    const QDateTime before = QFileInfo("json").lastModified();
    for (const QString& name : DataHead::workingDirectories())
        QVERIFY(zdir.mkDir(name));
    QCOMPARE(QFileInfo("json").lastModified(), before);
    QCOMPARE(ZGLOBAL::readFile("json/a.json"), QByteArray("{}"));
    // One level only: a missing parent is not made.
    QVERIFY(!zdir.mkDir("missing/child"));
    QVERIFY(!QFileInfo::exists("missing"));
}

void TestCore::compilingDate()
{
    QCOMPARE(DataHead::compilingDate("Jan 29 2024"), QString("20240129"));
    QCOMPARE(DataHead::compilingDate("Feb  3 2025"), QString("20250203"));
    QCOMPARE(DataHead::compilingDate("Dec 31 1999"), QString("19991231"));
    QCOMPARE(DataHead::compilingDate("yesterday"), QString());
    QCOMPARE(DataHead::compilingDate().size(), 8);
}

void TestCore::fileListsAreNewestFirstAndFiltered()
{
    TestDir dir;
    const QDateTime base = QDateTime::currentDateTime().addDays(-1);
    const QStringList names = {"old.pcrd", "notes.txt", "newest.pcrd", "middle.pcrd", "report.xlsx"};
    const QList<int> ageMinutes = {300, 10, 5, 100, 1};
    for (int i = 0; i < names.size(); ++i) {
        QFile f(names[i]);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.flush();
        QVERIFY(f.setFileTime(base.addSecs(-60 * ageMinutes[i]), QFileDevice::FileModificationTime));
    }
    QDir().mkdir("folder.pcrd");
    const ZDir zdir;
    QCOMPARE(zdir.getFileNameList(".", {"*.pcrd"}), QStringList({"newest.pcrd", "middle.pcrd", "old.pcrd"}));
    QCOMPARE(zdir.getFileInfoList(".", {"*.pcrd", "*.xlsx"}).first().fileName(), QString("report.xlsx"));
    QVERIFY(zdir.getFileNameList("no-such-dir", {"*.pcrd"}).isEmpty());
}

void TestCore::timeStrings()
{
    QCOMPARE(ZTo::secondToTimeString(0), QString("00:00:00"));
    QCOMPARE(ZTo::secondToTimeString(3725), QString("01:02:05"));
    QCOMPARE(ZTo::secondToTimeString(4313), QString("01:11:53"));
    QCOMPARE(ZTo::secondToTimeString(86399), QString("23:59:59"));
    QCOMPARE(ZTo::secondToTimeString(86400), QString());
    QCOMPARE(ZTo::secondToTimeString(-1), QString());
    QCOMPARE(ZTo::secondToTimeString(INT_MAX), QString());
}

void TestCore::md5()
{
    TestDir dir;
    QVERIFY(ZGLOBAL::writeFile("empty", QByteArray()));
    QCOMPARE(ZGLOBAL::getFileMd5("empty"), QString("d41d8cd98f00b204e9800998ecf8427e"));
    QVERIFY(ZGLOBAL::writeFile("abc", "abc"));
    QCOMPARE(ZGLOBAL::getFileMd5("abc"), QString("900150983cd24fb0d6963f7d28e17f72"));
    QCOMPARE(ZGLOBAL::getFileMd5("missing"), QString());
}

void TestCore::writeFile()
{
    TestDir dir;
    QVERIFY(ZGLOBAL::writeFile("f", QByteArray(1000, 'a')));
    QVERIFY(ZGLOBAL::writeFile("f", "short"));
    QCOMPARE(ZGLOBAL::readFile("f"), QByteArray("short"));
    QVERIFY(!ZGLOBAL::writeFile("no-such-dir/f", "x"));
    QVERIFY(ZGLOBAL::readFile("no-such-dir/f").isEmpty());
    // A device that is always full: the open succeeds, the bytes never arrive.
    if (QFileInfo::exists("/dev/full"))
        QVERIFY(!ZGLOBAL::writeFile("/dev/full", QByteArray(100000, 'x')));
}

void TestCore::settingsKeysAndUpdateAddress()
{
    TestDir dir;
    {
        Settings settings(UI::SettingsFile, QSettings::IniFormat);
        QCOMPARE(settings.getComName(), QString());
        QCOMPARE(settings.getHttpPort(), 0);
        QCOMPARE(settings.updateBaseAddress(), UI::UpdateServer);
        settings.setComName("/tmp/ttySIM");
        settings.setHttpIp("127.0.0.1");
        settings.setHttpPort(8080);
        settings.setVersionInfo("v");
        QCOMPARE(settings.updateBaseAddress(), QString("https://127.0.0.1:8080"));
    }
    const QString ini = QString::fromUtf8(ZGLOBAL::readFile(UI::SettingsFile));
    QVERIFY(ini.contains("[SET]\nCOM=/tmp/ttySIM"));
    QVERIFY(ini.contains("IP=127.0.0.1"));
    QVERIFY(ini.contains("PORT=8080"));
    Settings again(UI::SettingsFile, QSettings::IniFormat);
    QCOMPARE(again.getComName(), QString("/tmp/ttySIM"));
    again.setHttpIp("https://mirror.local");
    again.setHttpPort(0);
    QCOMPARE(again.updateBaseAddress(), QString("https://mirror.local"));
}

void TestCore::platformCalls()
{
    const QSize screen = UI::ScreenSize();
    QVERIFY(screen.width() > 0 && screen.height() > 0);
    // Whether logind is reachable depends on the machine; either way nothing may fail loudly.
    Platform::WakeLock lock("tamarin-test");
    QCOMPARE(lock.acquire(), lock.isHeld());
    QVERIFY(!Platform::openFolder("/no/such/folder"));
}

void TestCore::experimentNames()
{
    for (const QString& good : {QString("2026-12-07-10-15-00"), QString("样本 甲.1"), QString(200, QChar(0x6837)).left(80),
                                QString(200, 'a'), QString("a..b")})
        QVERIFY2(ExperimentName::isValid(good), qPrintable(good));
    const QStringList bad = {"", "   ", ".", "..", "...", "../x", "a/b", "a\\b", "a:b", "a*", "a?", "a\"b", "a<b", "a>b",
                             "a|b", "name.", "name ", " name", ".hidden", "tab\tname", QString("nul") + QChar(0),
                             "CON", "nul.txt", "com1", "LPT9.x", QString(201, 'a'), QString(81, QChar(0x6837)), "a\u200eb"};
    for (const QString& name : bad)
        QVERIFY2(!ExperimentName::isValid(name), qPrintable(name));
    QVERIFY(ExperimentName::hasForbiddenCharacter("x?"));
    QVERIFY(!ExperimentName::hasForbiddenCharacter("x.y z"));

    TestDir dir;
    QCOMPARE(ExperimentName::saveFault(dir.file("usr_data"), "a/b"), UI::NameInvalid);
    QCOMPARE(ExperimentName::saveFault(dir.file("usr_data"), "new"), QString());
    QVERIFY(QFileInfo(dir.file("usr_data")).isDir());
    QVERIFY(QDir(dir.file("usr_data")).entryList(QDir::Files | QDir::Hidden).isEmpty()); // no probe left
    QVERIFY(ZGLOBAL::writeFile(dir.file("usr_data/old.pcrd"), "x"));
    QCOMPARE(ExperimentName::saveFault(dir.file("usr_data"), "old"), UI::NameRepeat);
    QVERIFY(ZGLOBAL::writeFile(dir.file("file"), "not a folder"));
    QCOMPARE(ExperimentName::saveFault(dir.file("file"), "new"), UI::SaveDataFailInfo);
}

QTEST_MAIN(TestCore)
#include "tst_core.moc"
