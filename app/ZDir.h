#pragma once

#include <QFileInfoList>
#include <QStringList>

// Directory helpers. Lists hold plain files only, newest modification first.
class ZDir
{
public:
    QFileInfoList getFileInfoList(const QString& path, const QStringList& nameFilters) const;
    QStringList getFileNameList(const QString& path, const QStringList& nameFilters) const;
    // True when the path exists or one directory level could be made there (no parents).
    bool mkDir(const QString& path) const;
};
