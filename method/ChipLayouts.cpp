#include "method/ChipLayouts.h"

SampleHoleMap SampleHolesMap_1x26;
SampleHoleMap SampleHolesMap_1x24n1n2;
SampleHoleMap SampleHolesMap_2x12n1n2;
SampleHoleMap SampleHolesMap_2x12n13n14;
SampleHoleMap SampleHolesMap_4x6n1n2;
SampleHoleMap SampleHolesMap_4x6n13n14;
SampleHoleMap SampleHolesMap_12x2n1n2;
SampleHoleMap SampleHolesMap_13x2n;

namespace {
QVector<int> holes(int first, int last)
{
    QVector<int> list;
    for (int h = first; h <= last; ++h)
        list << h;
    return list;
}
}

void sampleHoleMapsInit()
{
    SampleHolesMap_1x26[0] = holes(1, 26);
    SampleHolesMap_1x24n1n2[0] = holes(3, 26);
    SampleHolesMap_2x12n1n2[0] = holes(3, 14);
    SampleHolesMap_2x12n1n2[1] = holes(15, 26);
    SampleHolesMap_2x12n13n14[0] = holes(1, 12);
    SampleHolesMap_2x12n13n14[1] = holes(15, 26);
    for (int i = 0; i < 4; ++i)
        SampleHolesMap_4x6n1n2[i] = holes(3 + 6 * i, 8 + 6 * i);
    SampleHolesMap_4x6n13n14[0] = holes(1, 6);
    SampleHolesMap_4x6n13n14[1] = holes(7, 12);
    SampleHolesMap_4x6n13n14[2] = holes(15, 20);
    SampleHolesMap_4x6n13n14[3] = holes(21, 26);
    for (int i = 0; i < 12; ++i)
        SampleHolesMap_12x2n1n2[i] = holes(2 * i + 3, 2 * i + 4);
    for (int i = 0; i < 13; ++i)
        SampleHolesMap_13x2n[i] = holes(2 * i + 1, 2 * i + 2);
}

QVector<ChipLayout> chipLayouts()
{
    return {
        {"1x26", &SampleHolesMap_1x26},
        {"1x24(!1!2)", &SampleHolesMap_1x24n1n2},
        {"2*12(!1!2)", &SampleHolesMap_2x12n1n2},
        {"2*12(!13!14)", &SampleHolesMap_2x12n13n14},
        {"4*6(!1!2)", &SampleHolesMap_4x6n1n2},
        {"4*6(!13!14)", &SampleHolesMap_4x6n13n14},
        {"12*2(!1!2)", &SampleHolesMap_12x2n1n2},
        {"13*2", &SampleHolesMap_13x2n},
    };
}

int chipLayoutIndexOf(const SampleHoleMap& map)
{
    sampleHoleMapsInit();
    const QVector<ChipLayout> layouts = chipLayouts();
    for (int i = 0; i < layouts.size(); ++i)
        if (*layouts[i].map == map)
            return i;
    return -1;
}
