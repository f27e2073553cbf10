#include "help_pages.hpp"

#include "ui/resources_init.hpp"

#include <QFile>

namespace zarvelo {

std::optional<QString> helpPage(const QString& name) {
    ensureResources();
    QFile file(QStringLiteral(":/help/%1.html").arg(name));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

}  // namespace zarvelo
