#include "update/HttpManager.h"

#include <QDebug>
#include <QHostAddress>
#include <QNetworkRequest>
#include <QSslSocket>

HttpManager::HttpManager(QObject* parent, int transferTimeoutMs) : QObject(parent)
{
    mManager.setTransferTimeout(transferTimeoutMs);
    // Every redirect target passes the same address check as the address asked for: a loopback
    // server must not send the download to plain HTTP elsewhere.
    mManager.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
    qDebug() << "TLS supported:" << QSslSocket::supportsSsl() << "built with" << QSslSocket::sslLibraryBuildVersionString()
             << "running" << QSslSocket::sslLibraryVersionString() << "schemes" << mManager.supportedSchemes();
}

bool HttpManager::isSafeAddress(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == "https")
        return true;
    const QHostAddress host(url.host());
    return scheme == "http" && (url.host() == "localhost" || (!host.isNull() && host.isLoopback()));
}

bool HttpManager::get(const QString& url, const QString& path)
{
    if (mReply) {
        mReply->disconnect(this);
        mReply->abort();
        mReply->deleteLater();
        mReply = nullptr;
    }
    mFile.close();
    mUrl = QUrl::fromUserInput(url);
    if (!isSafeAddress(mUrl)) {
        qDebug() << "refused update address" << mUrl;
        return false;
    }
    mFile.setFileName(path);
    if (mFile.exists() && !mFile.remove())
        return false;
    if (!mFile.open(QIODevice::ReadWrite | QIODevice::Append))
        return false;

    mReply = mManager.get(QNetworkRequest(mUrl));
    connect(mReply, &QNetworkReply::redirected, this, [reply = mReply](const QUrl& target) {
        if (isSafeAddress(target)) {
            emit reply->redirectAllowed();
            return;
        }
        qDebug() << "refused redirect to" << target;
        reply->abort();
    });
    connect(mReply, &QNetworkReply::readyRead, this, &HttpManager::readyRead);
    connect(mReply, &QNetworkReply::downloadProgress, this, &HttpManager::downloadProgress);
    connect(mReply, &QNetworkReply::uploadProgress, this, &HttpManager::uploadProgress);
    connect(mReply, &QNetworkReply::errorOccurred, this, &HttpManager::slotError);
    connect(mReply, &QNetworkReply::finished, this, &HttpManager::finished);
    return true;
}

void HttpManager::readyRead()
{
    if (mReply)
        mFile.write(mReply->readAll());
}

void HttpManager::slotError(QNetworkReply::NetworkError error)
{
    mFile.close();
    emit signalInfoError(error);
}

void HttpManager::finished()
{
    QNetworkReply* reply = mReply;
    mReply = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return;
    mFile.write(reply->readAll());
    mFile.close();
    emit signalInfoFinished();
}
