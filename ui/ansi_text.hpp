#pragma once
// Windows-1252 bytes (firmware strings, text rows) as Qt strings, through the program's one
// conversion in texts/.

#include "texts/charset.hpp"

#include <QString>

#include <string_view>

namespace zarvelo {

inline QString fromAnsi(std::string_view ansi) { return QString::fromStdU32String(ansiToUnicode(ansi)); }

}  // namespace zarvelo
