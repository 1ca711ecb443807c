#include "records/TrailAnchors.h"

#include "files/OutData.h"
#include "records/AuditTrail.h"

#include <QDirIterator>

namespace TrailAnchors {

QStringList check(const AuditTrail& trail, const QString& folder)
{
    const AuditTrail::Head head = trail.head();
    QStringList found;
    QDirIterator files(folder, {"*.pcrd"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        OutData data;
        if (data.openAs(path) != 0 || data.trailEntry <= 0)
            continue;
        AuditEntry entry;
        if (data.trailEntry > head.id || !trail.entry(data.trailEntry, entry))
            found << QStringLiteral("entries %1 to %2 are missing: %3 was saved when the trail reached entry %2")
                         .arg(head.id + 1).arg(data.trailEntry).arg(path);
        else if (entry.hash != data.trailHash)
            found << QStringLiteral("entry %1 is not the one %2 was saved after: the trail from there was written anew")
                         .arg(data.trailEntry).arg(path);
    }
    return found;
}

}
