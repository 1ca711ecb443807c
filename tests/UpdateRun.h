#pragma once

#include "HttpsServer.h"
#include "ModalAnswer.h"
#include "ui/update/AboutDiolog.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>

// Offers version 0.1.0 with the given installer on the server and goes through the about
// dialog's update, answering every question yes. The texts of the messages after the first
// question, and whether the dialog told the program to end.
inline QPair<QStringList, int> runUpdate(HttpsServer& server, const QByteArray& installer, const QString& announcedMd5,
                                         int dialogs, Machine* machine = nullptr)
{
    const QString name = QCoreApplication::applicationName() + "_setup_0.1.0.exe";
    server.files["/tamarin/" + name] = installer;
    const QString md5 = announcedMd5.isEmpty() ? QCryptographicHash::hash(installer, QCryptographicHash::Md5).toHex() : announcedMd5;
    server.files["/tamarin/version.json"] =
        QJsonDocument(QJsonObject{{"name", name}, {"major", 0}, {"minor", 1}, {"micro", 0}, {"md5", md5}}).toJson();
    auto* about = new AboutDiolog(nullptr, machine, 0);
    QSignalSpy leave(about, &AboutDiolog::signalLeave);
    about->show();
    QStringList yes;
    for (int i = 0; i < dialogs; ++i)
        yes << "pushButton_Confirm";
    ModalAnswers answers(yes);
    about->findChild<QPushButton*>("pushButton_Update")->click();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(answers.texts().size() == dialogs, 8000); }();
    const int left = leave.count();
    delete about;
    return qMakePair(QStringList(answers.texts().mid(1)), left);
}
