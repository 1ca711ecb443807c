#include "app/ExperimentFiles.h"

#include "app/ExperimentName.h"
#include "app/UI.h"
#include "platform/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ExperimentFiles {

namespace {
const QString Suffix = QStringLiteral(".pcrd");
}

QStringList importFiles(const QStringList& paths, const QString& folder)
{
    QStringList refused;
    for (const QString& path : paths) {
        const QString name = QFileInfo(path).fileName();
        const QString base = baseName(name);
        const bool inUse = !base.isEmpty() && !ExperimentName::inUseFault(folder, base).isEmpty();
        if (inUse || !QFile::copy(path, QDir(folder).filePath(name)))
            refused << name;
    }
    return refused;
}

bool exportCopy(const QString& path, const QString& target)
{
    if (QFileInfo(path) == QFileInfo(target))
        return false;
    QFile source(path);
    QSaveFile copy(target);
    if (!source.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly))
        return false;
    while (!source.atEnd()) {
        const QByteArray block = source.read(1 << 20);
        if (block.isEmpty() || copy.write(block) != block.size())
            return false;
    }
    return copy.flush() && copy.commit();
}

QString rename(const QString& path, const QString& newName)
{
    // The name check refuses separators and dot-only names, so the target stays in the folder.
    if (!ExperimentName::isValid(newName))
        return UI::NameInvalid;
    const QString target = QFileInfo(path).absoluteDir().filePath(newName + Suffix);
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(path).absoluteFilePath())
        return QString();
    // A page that shows the file would later save it again under its old name.
    if (ExperimentName::isOpen(path))
        return UI::ExperimentOpen.arg(QFileInfo(path).fileName());
    const QString inUse = ExperimentName::inUseFault(QFileInfo(path).absolutePath(), newName);
    if (!inUse.isEmpty())
        return inUse;
    return QFile::rename(path, target) ? QString() : UI::RenameError;
}

QStringList remove(const QStringList& paths)
{
    QStringList remaining;
    for (const QString& path : paths) {
        if (!Platform::moveToTrash(path) && !QFile::remove(path))
            remaining << QFileInfo(path).fileName();
    }
    return remaining;
}

QString baseName(const QString& fileName)
{
    return fileName.endsWith(Suffix) ? fileName.chopped(Suffix.size()) : QString();
}

}
