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

// False with a reason (why the run does not fit) and out untouched. picked: the reaction numbers
// to take (all when empty), so that a part of a larger plate fits the chip.
bool toOutData(const RdmlReader& file, int run, OutData& out, QString& error, const QVector<int>& picked = {});
// Reaction numbers from a list of numbers and well names with ranges ("A1-A12,B1", "1-26"), on a
// plate of the given columns; false with a reason. A plate's empty wells may be among them: what
// counts against the chip's holes is the reactions with data.
constexpr int MaxPicked = 1536;
bool parseWells(const QString& list, int columns, QVector<int>& picked, QString& error);

}
