#include "help_pages.hpp"

#include "ui/resources_init.hpp"

#include <QFile>

namespace zarvelo {

std::optional<QString> helpPage(const QString& name) {
    ensureResources();
    QFile file(QStringLiteral(":/help/%1.html").arg(name));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QString page = QString::fromUtf8(file.readAll());
    // The pages share one style sheet; the rich-text view takes it inline.
    QFile css(QStringLiteral(":/help/help.css"));
    if (css.open(QIODevice::ReadOnly))
        page.replace(QStringLiteral("</head>"), QStringLiteral("<style>\n%1</style>\n</head>").arg(QString::fromUtf8(css.readAll())));
    return page;
}

}  // namespace zarvelo
