#pragma once

#include <QString>

// The program's log: every message of the process, with its time and level, appended to one
// file that is rotated when it passes maxBytes (the previous part kept as FILE.1). Without
// verbose, debug messages (every frame and step) are left out; state changes, finished runs and
// errors are always written.
namespace LogFile {

// False, and the messages left to Qt's default output, when the file cannot be opened.
bool install(const QString& path, bool verbose, qint64 maxBytes = 1024 * 1024);

}
