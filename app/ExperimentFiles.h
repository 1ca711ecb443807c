#pragma once

#include <QString>
#include <QStringList>

// What the data page does to saved experiment files. Each operation keeps an existing file of
// the target name and reports what the file system refused, so nothing passes silently.
namespace ExperimentFiles {

// Copies each file into folder under its own file name; returns the names left out because the
// name is in use (a file, an open test, a recovery copy) or the copy failed.
QStringList importFiles(const QStringList& paths, const QString& folder);

// Writes a copy of path to target, replacing a file there (the operator agreed to that): written
// beside it first and then renamed over it, so a failure leaves the old file whole. False when
// target is path itself or anything was refused.
bool exportCopy(const QString& path, const QString& target);

// Renames path to NEWNAME.pcrd in its own folder. Empty on success, otherwise the operator's
// message: the name breaks the naming rules, the file exists, or the rename was refused.
QString rename(const QString& path, const QString& newName);

// Moves the files to the desktop's trash where there is one, so a mistaken delete can be
// undone, and removes them where there is none. Returns the names of files that remain.
QStringList remove(const QStringList& paths);

// The file name without ".pcrd"; empty when the name does not end in it.
QString baseName(const QString& fileName);

}
