#pragma once

#include <QMap>
#include <QString>
#include <QVector>

// The eight chip types: sample index (from 0) -> 1-based hole numbers. "!n" in a label marks a
// hole the type leaves out.
using SampleHoleMap = QMap<int, QVector<int>>;

extern SampleHoleMap SampleHolesMap_1x26;
extern SampleHoleMap SampleHolesMap_1x24n1n2;
extern SampleHoleMap SampleHolesMap_2x12n1n2;
extern SampleHoleMap SampleHolesMap_2x12n13n14;
extern SampleHoleMap SampleHolesMap_4x6n1n2;
extern SampleHoleMap SampleHolesMap_4x6n13n14;
extern SampleHoleMap SampleHolesMap_12x2n1n2;
extern SampleHoleMap SampleHolesMap_13x2n;

// Fills the eight maps; calling it again changes nothing.
void sampleHoleMapsInit();

struct ChipLayout
{
    QString label;            // "2*12(!1!2)"
    const SampleHoleMap* map; // one of the maps above
};

// The eight types in the order the method dialog tests its buttons (after sampleHoleMapsInit).
QVector<ChipLayout> chipLayouts();

// The position in chipLayouts() of the layout whose map equals map, or -1 when none does.
int chipLayoutIndexOf(const SampleHoleMap& map);
