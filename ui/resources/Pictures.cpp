#include "ui/resources/Pictures.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must stand outside any namespace.
static void initPictures()
{
    Q_INIT_RESOURCE(pictures);
}

namespace Pictures {

void ensureLoaded()
{
    static const bool loaded = (initPictures(), true);
    Q_UNUSED(loaded);
}

}
