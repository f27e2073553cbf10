#pragma once
// Reading and writing whole files. Writing is complete or not at all: the bytes go to a
// temporary file beside the target, which then replaces it, so a failed write never
// damages an existing file.

#include "flash/bytes.hpp"

#include <functional>
#include <string>

namespace zarvelo {

struct FileReadResult {
    Bytes bytes;
    std::string error;  // system error text; empty on success
};

// Reads at most `maxSize` bytes; a larger file is an error (`tooLargeMessage`).
FileReadResult readWholeFile(const std::string& path, std::size_t maxSize, const std::string& tooLargeMessage);

// Looks at the finished temporary file before it replaces the target; returns a message
// to refuse it (the target then stays as it was) or an empty string to accept it.
using WrittenFileCheck = std::function<std::string(const std::string& tempPath)>;

// Returns the system error text (or the check's message), or an empty string on success.
std::string writeFileAtomically(const std::string& path, ByteView bytes, const WrittenFileCheck& check = {});

}  // namespace zarvelo
