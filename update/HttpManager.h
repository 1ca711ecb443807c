#pragma once

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QUrl>

// Downloads one address into one file at a time. Only HTTPS with a verified certificate is
// spoken; plain HTTP is allowed for a loopback host alone (tests and demonstrations).
class HttpManager : public QObject
{
    Q_OBJECT
public:
    // transferTimeoutMs: a transfer that receives nothing for this long is aborted.
    explicit HttpManager(QObject* parent = nullptr, int transferTimeoutMs = 3000);

    // Starts downloading url into path (an existing file is replaced). False, with nothing sent,
    // when the address is not a safe one or the file cannot be made.
    bool get(const QString& url, const QString& path);

    // HTTPS anywhere, HTTP only to a loopback host.
    static bool isSafeAddress(const QUrl& url);
    // What went wrong, as the operator reads it.
    static QString errorText(QNetworkReply::NetworkError error);

signals:
    void signalInfoError(QNetworkReply::NetworkError error);
    void uploadProgress(qint64 sent, qint64 total);
    void downloadProgress(qint64 received, qint64 total);
    void signalInfoFinished();

public slots:
    void finished();
    void slotError(QNetworkReply::NetworkError error);

private:
    void readyRead();

    QUrl mUrl;
    QFile mFile;
    QNetworkAccessManager mManager;
    QNetworkReply* mReply = nullptr;
};
