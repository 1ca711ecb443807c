#pragma once

#include <QString>

namespace Platform {

// The installation's own settings file, which only an administrator of the computer may write:
// /etc/tamarin/settings.ini, or %ProgramData%\tamarin\settings.ini on Windows.
QString machineSettingsFile();

}
