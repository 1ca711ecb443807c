#pragma once

#include "method/AppVersionInfo.h"
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

    // The name of a method file's compressed copy: "a.json" gives "a.qvi" (every "json" of a name
    // ending in "json" is dropped, then "qvi" appended).
    static QString compressedCopyName(const QString& jsonFileName);
    // Writes the compressed copy of a method read from jsonFileName into the "qvi" folder of the
    // working directory; the result of the write.
    bool saveCompressedCopy(SMethod method, const QString& jsonFileName) const;

    // Reads the update server's version file (at most 64 KiB); true when it holds a JSON object,
    // whose keys then fill info (a missing key gives an empty text or 0).
    bool openAppVersion(const QString& path, AppVersionInfo& info) const;
};
