#pragma once

#include "records/AuditTrail.h"

// Entries of a run kept on the workstation while the store cannot take them (a server down, a
// file locked): a run's readings are saved whatever the store does, and what was done reaches
// the trail in order, marked with when it was done, once the store is back. One JSON line per
// entry in a file its owner alone may read.
class EntryJournal
{
public:
    explicit EntryJournal(const QString& file);

    // The entry, with doneAt set to now; false when the file cannot be written.
    bool keep(AuditEntry entry);
    bool isEmpty() const;
    // Appends the kept entries to the trail in order; those it does not take stay kept.
    // False when some stay.
    bool flushTo(AuditTrail& trail);

private:
    QString mFile;
};
