#pragma once

#include <QSettings>

// The settings file. "SET/COM" names the one serial port to use instead of searching for the
// instrument's adapter (how the program reaches a simulated instrument); the "HTTP" keys replace
// the update server's address; "DB" the record store, "REPORT" the printed report, "LIS" the
// results sent to the laboratory information system.
class Settings : public QSettings
{
    Q_OBJECT
public:
    Settings(const QString& fileName, QSettings::Format format, QObject* parent = nullptr);

    void setComName(const QString& name);
    QString getComName() const;
    void setHttpIp(const QString& ip);
    QString getHttpIp() const;
    void setHttpPort(int port);
    int getHttpPort() const;
    // The recovery copies whose module was already sent its stop sequence ("file@time" each), so
    // that a copy kept for later does not stop the module again at every start.
    void setMadeSafe(const QStringList& copies);
    QStringList getMadeSafe() const;
    void setVersionInfo(const QString& path);
    QString getVersionInfo() const;

    // The record store: "DB/URL" names a lab's PostgreSQL server (postgresql://USER@HOST:PORT/DB,
    // its password in libpq's password file) or a SQLite file; empty for the embedded file in the
    // working directory.
    QString getDatabaseUrl() const;
    // The store the program uses: the one the installation's settings file names when that file
    // exists (no working directory's settings can point elsewhere then), else localFile's. A
    // settings file that holds a password is made its owner's alone.
    static QString recordStore(const QString& machineFile, const QString& localFile);
    // Minutes without input after which the program locks itself while users are on: 1 to 240,
    // 15 when unset or out of range.
    int getIdleMinutes() const;
    // The lab's header line on every printed report ("REPORT/HEADER").
    QString getReportHeader() const;

    // The folder the LIS collects result messages from ("LIS/Folder"); empty: none are sent.
    QString getLisFolder() const;
    // Who sends and who receives, as the messages name them ("LIS/Facility",
    // "LIS/ReceivingApplication", "LIS/ReceivingFacility").
    QString getLisFacility() const;
    QString getLisReceivingApplication() const;
    QString getLisReceivingFacility() const;
    // Whether a run's results go out as it ends, not only once approved ("LIS/SendAfterRun"), and
    // whether an incomplete or invalid run's go out too, marked as such ("LIS/SendIncomplete").
    bool getLisSendAfterRun() const;
    bool getLisSendIncomplete() const;

    // Base address of the update server: "HTTP/IP" (with "https://" added when it names no
    // scheme, and ":PORT" when "HTTP/PORT" is set), or the built-in server when it is empty.
    QString updateBaseAddress() const;
};
