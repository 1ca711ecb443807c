#include "app/ZDir.h"

#include <QDir>

QFileInfoList ZDir::getFileInfoList(const QString& path, const QStringList& nameFilters) const
{
    const QDir dir(path);
    if (!dir.exists())
        return QFileInfoList();
    return dir.entryInfoList(nameFilters, QDir::Files, QDir::Time);
}

QStringList ZDir::getFileNameList(const QString& path, const QStringList& nameFilters) const
{
    QStringList names;
    for (const QFileInfo& info : getFileInfoList(path, nameFilters))
        names << info.fileName();
    return names;
}

bool ZDir::mkDir(const QString& path) const
{
    if (QFileInfo::exists(path))
        return true;
    return QDir().mkdir(path);
}
