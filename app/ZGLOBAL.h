#pragma once

#include <QByteArray>
#include <QString>

namespace ZGLOBAL {

// The whole file; empty when it cannot be read (an empty file reads the same).
QByteArray readFile(const QString& path);
// Replaces the file's content. False unless every byte reached the file.
bool writeFile(const QString& path, const QByteArray& bytes);
// MD5 of the whole file as 32 lower-case hex digits; empty when it cannot be read.
QString getFileMd5(const QString& path);

}
