#include "platform/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Platform {

bool moveToTrash(const QString& path)
{
    // Without the data folder Qt cannot make the trash, and then moves the file into "files/"
    // below the working directory instead of failing: make it first, and undo such a move.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(path);
    if (!file.moveToTrash())
        return false;
    const QString trashed = file.fileName();
    if (QFileInfo(trashed).isAbsolute() && trashed.contains("Trash"))
        return true;
    QFile::rename(trashed, path);
    return false;
}

}
