#include "resources_init.hpp"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initZarveloResources() { Q_INIT_RESOURCE(resources); }

namespace zarvelo {

void ensureResources() {
    static const bool done = (initZarveloResources(), true);
    (void)done;
}

}  // namespace zarvelo
