#pragma once

#include <QString>

namespace Platform {

// Moves a file to the desktop's trash, from where the user can restore it. False, with the file
// where it was, when there is no usable trash.
bool moveToTrash(const QString& path);

}
