#pragma once

#include "method/TargetInfo.h"

#include <QString>

// What the RDML writer and reader agree on beyond the schema: the namespace, how numbers are
// written, and the analysis settings a curve carries in its data note, so that a run exported
// and imported again is analysed exactly as before.
namespace RdmlFormat {

inline const QString Namespace = QStringLiteral("http://www.rdml.org");
// The shortest text that reads back as the same double, "." decimals.
QString number(double value);
QString settingsNote(const TargetInfo& target);
// The settings of a note written by settingsNote into target (name untouched); false for any
// other note, and for values out of range.
bool readSettingsNote(const QString& note, TargetInfo& target);
// The remark of a run imported from a file: where it came from and on which instrument; and
// that instrument read back from such a remark (empty for any other), for a later export.
QString importRemark(const QString& runName, const QString& instrument);
QString instrumentOf(const QString& remark);

}
