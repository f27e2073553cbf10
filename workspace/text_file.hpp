#pragma once
// A translator's text file from disk into the text editor's session: the one road the
// window's "Texte laden" and `zarvelo-cli import-texts` take.

#include "texts/text_import.hpp"

#include <string>

namespace zarvelo {

// Reads at most 1 MiB from `path` and imports it (see importTexts). A file that cannot be
// read is refused with a German message and the system's reason; nothing changes then.
Result<TextImport> importTextFile(TextSession& session, const std::string& path, OverlongMode mode);

}  // namespace zarvelo
