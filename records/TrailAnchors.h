#pragma once

#include <QStringList>

class AuditTrail;

// The trail's heads kept in saved experiment files. The chain shows an entry changed or removed
// among others, not the newest ones cut off: a file saved when the trail reached entry N shows
// that N is missing, or was written anew.
namespace TrailAnchors {

// What the experiment files under folder (and its subfolders) show against the trail, one line
// each as a person reads it; empty when every anchor is found as it was.
QStringList check(const AuditTrail& trail, const QString& folder);

}
