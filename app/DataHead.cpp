#include "app/DataHead.h"

#include "app/Settings.h"
#include "app/UI.h"
#include "app/ZDir.h"
#include "files/ExcelControl.h"
#include "instrument/ConnectData.h"
#include "instrument/MachineData.h"
#include "method/JsonControl.h"
#include "platform/MachineSettings.h"
#include "records/RecordSession.h"
#include "records/StoreThread.h"

#include <QDate>
#include <QDir>
#include <QLocale>
#include <QMetaType>

DataHead* DataHead::instance()
{
    static DataHead head;
    return &head;
}

DataHead::DataHead() : mWakeLock("tamarin")
{
    mpDir = new ZDir;
    mpJsonControl = new JsonControl;
    mpSettings = new Settings(UI::SettingsFile, QSettings::IniFormat);
    mSoftWareVersion = QVersionNumber(0, 0, 15);
    qRegisterMetaType<MachineData>("MachineData");
    qRegisterMetaType<ConnectData>("ConnectData");
    for (const QString& dir : workingDirectories())
        mpDir->mkDir(dir);
    mWakeLock.acquire();
    mpExcelControl = new ExcelControl;
    mpRecords = new RecordSession(Settings::recordStore(Platform::machineSettingsFile(), UI::SettingsFile));
    mpStore = new StoreThread(*mpRecords);
    // Opened on the store's thread, which alone uses the connection from then on. Another
    // program's lock costs a call a tenth of a second at most; a run's entries then wait in the
    // journal, a change is refused and may be tried again.
    mpStore->callNow([](RecordSession& records) {
        records.store().setLockWait(100);
        records.open();
    });
}

DataHead::~DataHead()
{
    delete mpStore;
    delete mpRecords;
    delete mpSettings;
    delete mpJsonControl;
    delete mpExcelControl;
    delete mpDir;
}

QStringList DataHead::workingDirectories()
{
    return {UI::InDirName, UI::OutDirName, UI::JsonDirName, UI::UserDirName.arg(QDir::currentPath()),
            UI::TempDirName, UI::LogDirName};
}

QString DataHead::compilingDate()
{
    return compilingDate(QString::fromLatin1(__DATE__));
}

QString DataHead::compilingDate(const QString& compilerDate)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QDate date = english.toDate(compilerDate, "MMM dd yyyy");
    if (!date.isValid())
        date = english.toDate(compilerDate, "MMM  d yyyy");
    return date.isValid() ? date.toString("yyyyMMdd") : QString();
}
