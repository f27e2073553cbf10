#pragma once
// The German messages the windows add to what the layers below report.

namespace zarvelo::msg {

// Followed by a line break and the system's error text.
inline constexpr const char* kCannotWriteFile = "Die Datei kann nicht geschrieben werden:\n";

}  // namespace zarvelo::msg
