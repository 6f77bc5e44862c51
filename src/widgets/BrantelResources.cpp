#include "widgets/BrantelResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
void initBrantelResources()
{
    Q_INIT_RESOURCE(brantel_images);
    Q_INIT_RESOURCE(brantel_translations);
}
