#pragma once

#include "analysis/ResultText.h"
#include "analysis/SampleResults.h"

#include <QColor>

// The colour of a call wherever a window shows it: positive red, negative a green that stays
// legible on white, invalid purple (as a failed internal control on the chip), and grey for what an incomplete run could not call.
inline QColor callColour(const QString& call)
{
    if (call == ResultText::call(true, true))
        return Qt::red;
    if (call == ResultText::call(false, true))
        return QColor(0, 150, 0);
    if (call == SampleResults::invalid())
        return QColor(128, 40, 170);
    return Qt::darkGray;
}
