#pragma once

#include <QString>
#include <QStringList>

class OutData;

// The hidden copy of a running test's record, kept beside its experiment file (".NAME.pcrd.partial")
// so that a crash, a kill or a power cut loses next to nothing. It has the stored form of an
// experiment file with the run marked incomplete, and names its module.
namespace RecoveryCopy {

QString pathFor(const QString& experimentPath);
QString experimentPathFor(const QString& copyPath);

// Replaces the copy as a whole: a kill during the write leaves the previous copy.
bool write(const OutData& record, const QString& experimentPath);
// Removes the copy of an experiment; true when none is left.
bool discard(const QString& experimentPath);

// The copies in folder whose experiment file does not exist: interrupted tests, oldest first.
QStringList pending(const QString& folder);
// Makes the copy the experiment file; false when that file exists or the rename is refused.
bool restore(const QString& copyPath);

}
