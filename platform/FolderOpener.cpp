#include "platform/FolderOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace Platform {

bool openFolder(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

}
