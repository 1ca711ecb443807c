#pragma once

#include "platform/WakeLock.h"

#include <QString>
#include <QVersionNumber>

class ZDir;
class JsonControl;
class ExcelControl;
class Settings;
class RecordSession;
class StoreThread;

// The application singleton: working directories, version, and the shared service objects.
class DataHead
{
public:
    static DataHead* instance();

    ZDir* getMpDir() const { return mpDir; }
    JsonControl* getMpJsonControl() const { return mpJsonControl; }
    ExcelControl* getMpExcelControl() const { return mpExcelControl; }
    Settings* getMpSettings() const { return mpSettings; }
    // Users, the audit trail and signatures; opened at start-up (isOpen() says whether it could be).
    RecordSession* getMpRecords() const { return mpRecords; }
    // The thread the window's calls of that session run on.
    StoreThread* getMpStore() const { return mpStore; }
    QVersionNumber getMSoftWareVersion() const { return mSoftWareVersion; }
    int getFileVersion() const { return mFileVersion; }
    void setFileVersion(int version) { mFileVersion = version; }

    // The build date as "yyyyMMdd".
    static QString compilingDate();
    // The same for a compiler date string such as "Jan 29 2024" or "Feb  3 2025"; empty when
    // the string is in neither form.
    static QString compilingDate(const QString& compilerDate);

    // The folders below the working directory, in the order they are made at start-up.
    static QStringList workingDirectories();

    // False where the machine could not be kept awake (no login manager, say): runs work, but
    // the operator must keep the machine from sleeping.
    bool keepsAwake() const { return mWakeLock.isHeld(); }

private:
    DataHead();
    ~DataHead();
    DataHead(const DataHead&) = delete;
    DataHead& operator=(const DataHead&) = delete;

    ZDir* mpDir = nullptr;
    JsonControl* mpJsonControl = nullptr;
    ExcelControl* mpExcelControl = nullptr;
    Settings* mpSettings = nullptr;
    RecordSession* mpRecords = nullptr;
    StoreThread* mpStore = nullptr;
    QVersionNumber mSoftWareVersion;
    int mFileVersion = 0;
    Platform::WakeLock mWakeLock;
};
