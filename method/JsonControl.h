#pragma once

#include "method/SMethod.h"

#include <QString>

// Method files: one JSON object with Chinese keys and positional arrays.
class JsonControl
{
public:
    // Largest counts a method file may declare. Real chips have 26 holes and 2 channels; anything
    // beyond these is a damaged or hostile file, refused before anything is allocated for it.
    static constexpr int MaxHoles = 1000;
    static constexpr int MaxChannels = 16;
    static constexpr int MaxSamples = MaxHoles;

    // True when the file was read and holds a JSON object with sane counts; method is then filled.
    bool openJsonMethod(const QString& path, SMethod& method) const;
    // True when every byte reached the file. The old file stays intact until the new one is whole.
    bool saveJsonMethod(const QString& path, const SMethod& method) const;
};
