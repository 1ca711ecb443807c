#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Writes a zip archive of named parts, deflated. The archive is written beside its path and then
// put in place, so a failed write leaves any older file as it was.
namespace ZipWriter {

using Parts = QList<QPair<QString, QByteArray>>;
bool write(const QString& path, const Parts& parts);

}
