#include "app/UI.h"

#include "platform/ScreenMetrics.h"

namespace UI {

QSize ScreenSize()
{
    return Platform::availableScreenSize();
}

}
