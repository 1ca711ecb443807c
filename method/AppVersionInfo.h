#pragma once

#include <QString>
#include <QVersionNumber>

// What the update server's version file announces.
struct AppVersionInfo
{
    QString name;
    QVersionNumber version;
    int control = 0;
    QString md5;
};
