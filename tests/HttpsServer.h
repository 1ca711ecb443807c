#pragma once

#include <QMap>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QtTest>

// A small HTTPS server on 127.0.0.1 with the test's self-signed certificate, which it makes the
// program trust. It serves fixed bodies by path; a stalled path sends its headers and a few bytes,
// then nothing more; a redirected path answers 302 to its target.
class HttpsServer : public QTcpServer
{
public:
    // plain: speaks HTTP without TLS, as a server on this machine may.
    explicit HttpsServer(const QString& certificateDir, bool plain = false) : mPlain(plain)
    {
        QFile cert(certificateDir + "/update-server.pem"), key(certificateDir + "/update-server.key");
        QVERIFY(cert.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
        mCertificate = QSslCertificate(&cert);
        mKey = QSslKey(&key, QSsl::Rsa);
        QSslConfiguration trusted = QSslConfiguration::defaultConfiguration();
        trusted.addCaCertificate(mCertificate);
        QSslConfiguration::setDefaultConfiguration(trusted);
        QVERIFY(listen(QHostAddress::LocalHost));
    }
    QString base() const { return QString(mPlain ? "http://127.0.0.1:%1" : "https://127.0.0.1:%1").arg(serverPort()); }

    QMap<QString, QByteArray> files;
    QStringList stalled;
    QMap<QString, QString> redirects;
    QStringList requests;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(mCertificate);
        socket->setPrivateKey(mKey);
        connect(socket, &QSslSocket::readyRead, socket, [this, socket] {
            mRequest[socket] += socket->readAll();
            if (!mRequest[socket].contains("\r\n\r\n"))
                return;
            const QString path = QString::fromUtf8(mRequest[socket].split(' ').value(1));
            requests << path;
            if (stalled.contains(path)) {
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nstart");
                return;
            }
            if (redirects.contains(path)) {
                socket->write("HTTP/1.1 302 Found\r\nLocation: " + redirects[path].toUtf8() + "\r\nContent-Length: 0\r\n\r\n");
                socket->disconnectFromHost();
                return;
            }
            const bool found = files.contains(path);
            const QByteArray body = files.value(path, "not found");
            socket->write((found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") + QByteArray("Content-Length: ")
                          + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
        connect(socket, &QSslSocket::disconnected, socket, [this, socket] {
            mRequest.remove(socket);
            socket->deleteLater();
        });
        if (!mPlain)
            socket->startServerEncryption();
    }

private:
    QSslCertificate mCertificate;
    QSslKey mKey;
    QMap<QSslSocket*, QByteArray> mRequest;
    bool mPlain;
};
