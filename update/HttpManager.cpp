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

QString HttpManager::errorText(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
        return QStringLiteral("无法连接更新服务器");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("更新服务器的证书无法验证");
    case QNetworkReply::ContentNotFoundError:
        return QStringLiteral("更新服务器上没有找到更新文件");
    case QNetworkReply::InsecureRedirectError:
    case QNetworkReply::TooManyRedirectsError:
        return QStringLiteral("更新服务器转向了不安全的地址");
    default:
        return QStringLiteral("更新服务器返回错误（代码%0）").arg(int(error));
    }
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
