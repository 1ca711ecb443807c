#pragma once

#include <QSize>

namespace Platform {

// Usable area of the primary screen (task bars and docks excluded); the windows size themselves
// from it. Without a screen (no GUI application yet) the result is an empty size.
QSize availableScreenSize();

}
