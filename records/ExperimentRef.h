#pragma once

#include <QString>

class OutData;

// Which experiment a record is about: the name people read (its file name without ".pcrd") and
// the id its file keeps through renames, exports and imports. A file from before ids has none
// until its first audited save and is known by its name until then.
struct ExperimentRef
{
    ExperimentRef(const QString& name = QString(), const QString& id = QString(), const QString& storeId = QString())
        : name(name), id(id), storeId(storeId)
    {
    }

    // The experiment of a file: its id as stored, its name from the path.
    static ExperimentRef of(const QString& path);
    // ... of the record read from (or about to be saved at) path.
    static ExperimentRef of(const QString& path, const OutData& record);

    QString name;
    QString id;
    QString storeId; // the store its history is kept in; empty when not known
    QString fileHash; // of a file without an id: what its signatures are also found by
};
