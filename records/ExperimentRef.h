#pragma once

#include <QString>

// Which experiment a record is about: the name people read (its file name without ".pcrd") and
// the id its file keeps through renames, exports and imports. A file from before ids has none
// until its first audited save and is known by its name until then.
struct ExperimentRef
{
    ExperimentRef(const QString& name = QString(), const QString& id = QString())
        : name(name), id(id)
    {
    }

    // The experiment of a file: its id as stored, its name from the path.
    static ExperimentRef of(const QString& path);

    QString name;
    QString id;
};
