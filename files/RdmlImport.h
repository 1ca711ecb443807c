#pragma once

#include "files/OutData.h"
#include "files/RdmlReader.h"

// One run of an RDML file as an experiment record for review. It fits the chip when it has at
// most as many reactions with points as the chip has holes (a plate's empty wells do not count)
// and at most two dyes: reactions are placed on the holes of their own numbers when these lie on
// the chip, else one after the other. Curves keep
// their raw points (melt points laid on the record's half-degree grid), samples and targets keep
// the file's names, and each curve gets the analysis settings it was exported with, or the
// defaults for another instrument's scale: plate-wide threshold, automatic baseline, a border of
// twenty times the channel's baseline noise.
namespace RdmlImport {

constexpr int ChipHoles = 26;
constexpr int MaxDyes = 2;

// False with a reason (why the run does not fit) and out untouched.
bool toOutData(const RdmlReader& file, int run, OutData& out, QString& error);

}
