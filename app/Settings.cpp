#include "app/Settings.h"

#include "app/UI.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

Settings::Settings(const QString& fileName, QSettings::Format format, QObject* parent)
    : QSettings(fileName, format, parent)
{
    // A lab types its header line and server in an editor, in UTF-8; the escapes older files
    // hold are read as before.
    setIniCodec("UTF-8");
}

void Settings::setComName(const QString& name) { setValue("SET/COM", name); }
QString Settings::getComName() const { return value("SET/COM").toString(); }
void Settings::setHttpIp(const QString& ip) { setValue("HTTP/IP", ip); }
QString Settings::getHttpIp() const { return value("HTTP/IP").toString(); }
void Settings::setHttpPort(int port) { setValue("HTTP/PORT", port); }
int Settings::getHttpPort() const { return value("HTTP/PORT", 0).toInt(); }
void Settings::setMadeSafe(const QStringList& copies) { setValue("RECOVERY/MADE_SAFE", copies); }
QStringList Settings::getMadeSafe() const { return value("RECOVERY/MADE_SAFE").toStringList(); }
void Settings::setVersionInfo(const QString& path) { setValue("HTTP/PATH", path); }
QString Settings::getVersionInfo() const { return value("HTTP/PATH").toString(); }

QString Settings::getDatabaseUrl() const { return value("DB/URL").toString().trimmed(); }
QString Settings::recordStore(const QString& machineFile, const QString& localFile)
{
    const QString file = QFileInfo::exists(machineFile) ? machineFile : localFile;
    const QString location = Settings(file, QSettings::IniFormat).getDatabaseUrl();
    if (!QUrl(location).password().isEmpty())
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // The installation's store is its own even when its settings name none.
    if (location.isEmpty() && file == machineFile)
        return QFileInfo(machineFile).dir().filePath(QStringLiteral("records.sqlite"));
    return location;
}

QString Settings::getReportHeader() const { return value("REPORT/HEADER").toString().trimmed().left(200); }
QString Settings::getLisFolder() const { return value("LIS/Folder").toString().trimmed(); }
QString Settings::getLisFacility() const { return value("LIS/Facility").toString().trimmed().left(200); }
QString Settings::getLisReceivingApplication() const { return value("LIS/ReceivingApplication").toString().trimmed().left(200); }
QString Settings::getLisReceivingFacility() const { return value("LIS/ReceivingFacility").toString().trimmed().left(200); }
bool Settings::getLisSendAfterRun() const { return value("LIS/SendAfterRun", false).toBool(); }
bool Settings::getLisSendIncomplete() const { return value("LIS/SendIncomplete", false).toBool(); }

int Settings::getIdleMinutes() const
{
    bool ok = false;
    const int minutes = value("DB/IDLE_MINUTES").toInt(&ok);
    return ok && minutes >= 1 && minutes <= 240 ? minutes : 15;
}

QString Settings::updateBaseAddress() const
{
    QString ip = getHttpIp().trimmed();
    if (ip.isEmpty())
        return UI::UpdateServer;
    if (!ip.contains("://"))
        ip.prepend("https://");
    if (getHttpPort() > 0)
        ip += QString(":%1").arg(getHttpPort());
    return ip;
}
