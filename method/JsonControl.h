#pragma once

#include "method/SMethod.h"

#include <QString>

// Method files: one JSON object with Chinese keys and positional arrays.
class JsonControl
{
public:
    // True when the file was read and holds a JSON object with counts within the record limits
    // (refused before anything is allocated for them); method is then filled.
    bool openJsonMethod(const QString& path, SMethod& method) const;
    // True when every byte reached the file. The old file stays intact until the new one is whole.
    bool saveJsonMethod(const QString& path, const SMethod& method) const;
};
