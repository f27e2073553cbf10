#pragma once
// Reading and writing whole files. Writing is complete or not at all: the bytes go to a
// temporary file beside the target, which then replaces it, so a failed write never
// damages an existing file.

#include "flash/bytes.hpp"

#include <string>

namespace zarvelo {

struct FileReadResult {
    Bytes bytes;
    std::string error;  // system error text; empty on success
};

// Reads at most `maxSize` bytes; a larger file is an error (`tooLargeMessage`).
FileReadResult readWholeFile(const std::string& path, std::size_t maxSize, const std::string& tooLargeMessage);

// Returns the system error text, or an empty string on success.
std::string writeFileAtomically(const std::string& path, ByteView bytes);

}  // namespace zarvelo
