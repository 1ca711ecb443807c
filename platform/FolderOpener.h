#pragma once

#include <QString>

namespace Platform {

// Shows a folder in the desktop's file browser. False when the path is not an existing folder
// or no file browser could be started.
bool openFolder(const QString& path);

}
