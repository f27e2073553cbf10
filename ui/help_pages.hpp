#pragma once
// The compiled-in help pages (rich text), by name: H_INTRO, H_MAIN, H_BOOT, H_TEXT.

#include <QString>

#include <optional>

namespace zarvelo {

std::optional<QString> helpPage(const QString& name);

}  // namespace zarvelo
