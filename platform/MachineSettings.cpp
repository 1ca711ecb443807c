#include "platform/MachineSettings.h"

#include <QDir>

namespace Platform {

QString machineSettingsFile()
{
#ifdef Q_OS_WIN
    const QString root = qEnvironmentVariable("ProgramData", QStringLiteral("C:/ProgramData"));
    return QDir(root).filePath(QStringLiteral("tamarin/settings.ini"));
#else
    return QStringLiteral("/etc/tamarin/settings.ini");
#endif
}

}
