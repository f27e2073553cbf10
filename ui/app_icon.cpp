#include "app_icon.hpp"

#include "resources_init.hpp"

namespace zarvelo {

QIcon applicationIcon() {
    ensureResources();
    // Rendered from resources/icons/zarvelo.svg by scripts/make-icons.sh: no SVG module needed.
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/zarvelo-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace zarvelo
