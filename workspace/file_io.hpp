#pragma once
// Reading and writing whole files. Writing is complete or not at all: the bytes go to a
// temporary file beside the target, which then replaces it, so a failed write never
// damages an existing file.

#include "flash/bytes.hpp"
#include "flash/result.hpp"

#include <functional>
#include <string>

namespace zarvelo {

// Reads at most `maxSize` bytes; a larger file is refused with `tooLargeMessage`, any other
// failure carries the system's error text.
Result<Bytes> readWholeFile(const std::string& path, std::size_t maxSize, const std::string& tooLargeMessage);

// Looks at the finished temporary file before it replaces the target; a failure refuses it
// (the target then stays as it was) and its message is what the write reports.
using WrittenFileCheck = std::function<Status(const std::string& tempPath)>;

// A failure carries the system's error text or the check's message.
Status writeFileAtomically(const std::string& path, ByteView bytes, const WrittenFileCheck& check = {});

}  // namespace zarvelo
