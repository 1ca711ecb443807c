#include "files/RecoveryCopy.h"

#include "app/ExperimentName.h"
#include "files/OutData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace RecoveryCopy {

namespace {
const QString Suffix = QStringLiteral(".partial");
}

QString pathFor(const QString& experimentPath)
{
    return ExperimentName::recoveryCopyPath(experimentPath);
}

QString experimentPathFor(const QString& copyPath)
{
    const QFileInfo file(copyPath);
    QString name = file.fileName();
    if (!name.startsWith('.') || !name.endsWith(Suffix))
        return QString();
    name = name.mid(1).chopped(Suffix.size());
    return file.dir().filePath(name);
}

bool write(const OutData& record, const QString& experimentPath)
{
    OutData copy = record;
    copy.runComplete = false;
    return copy.saveAsFilePath(pathFor(experimentPath));
}

bool discard(const QString& experimentPath)
{
    const QString path = pathFor(experimentPath);
    return !QFile::exists(path) || QFile::remove(path);
}

QStringList pending(const QString& folder)
{
    QStringList copies;
    QFileInfoList files = QDir(folder).entryInfoList({".*.pcrd" + Suffix}, QDir::Files | QDir::Hidden, QDir::Name);
    std::stable_sort(files.begin(), files.end(),
                     [](const QFileInfo& a, const QFileInfo& b) { return a.lastModified() < b.lastModified(); });
    for (const QFileInfo& file : files)
        if (!QFileInfo::exists(experimentPathFor(file.filePath())))
            copies << file.filePath();
    return copies;
}

bool restore(const QString& copyPath)
{
    const QString target = experimentPathFor(copyPath);
    return !target.isEmpty() && !QFileInfo::exists(target) && QFile::rename(copyPath, target);
}

}
