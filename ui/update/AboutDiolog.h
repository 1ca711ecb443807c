#pragma once

#include "method/AppVersionInfo.h"

#include <QDialog>
#include <QNetworkReply>

class HttpManager;
class Machine;
class WaitWidget;

namespace Ui {
class AboutDiolog;
}

// The about dialog and the update: fetch the server's version file, offer a newer version,
// download its installer, check its digest and, on consent, start it in place of the program.
class AboutDiolog : public QDialog
{
    Q_OBJECT
public:
    // leaveDelayMs: how long the started installer gets before signalLeave.
    explicit AboutDiolog(QWidget* parent = nullptr, Machine* machine = nullptr, int leaveDelayMs = 2000,
                         int transferTimeoutMs = 3000);
    ~AboutDiolog() override;

signals:
    // The installer runs; the program should end now.
    void signalLeave();

public slots:
    void slotPBnUpdateClicked();
    void slotInfoFinished();
    void slotInfoError(QNetworkReply::NetworkError error);
    void slotDownloadProgress(qint64 received, qint64 total);

private:
    void fail(const QString& reason);
    void checkVersionFile();
    void checkInstaller();
    QString installerPath() const;
    // Base address of the update server followed by path; empty (and the operator told) when
    // the address is not a safe one.
    QString remote(const QString& path);

    Ui::AboutDiolog* ui;
    WaitWidget* mWait;
    HttpManager* mHttp;
    Machine* mMachine;
    AppVersionInfo mVersion;
    bool mChecking = true;
    int mLeaveDelayMs;
};
