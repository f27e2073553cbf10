#pragma once
// The only place that talks to the operating system's file calls. file_io builds its
// guarantees (complete or nothing, a check before the target is replaced) on these few
// operations. The POSIX version keeps a replaced file's permissions and flushes to disk; the
// portable version uses the standard library alone, for every other system.

#include "flash/bytes.hpp"
#include "flash/result.hpp"

#include <string>

namespace zarvelo {

// The program's implementation for the system it is built for.
namespace files {
// Reads at most `maxSize` bytes of a regular file; a larger one gives `tooLargeMessage`.
// Failures carry the system's error text.
Result<Bytes> readFile(const std::string& path, std::size_t maxSize, const std::string& tooLargeMessage);
// Writes `bytes` to a new file beside `target`, flushed, with the target's permissions if it
// exists; gives that file's path.
Result<std::string> writeBeside(const std::string& target, ByteView bytes);
// Puts `temp` in the place of `target` (atomically where the system can); a failure removes `temp`.
Status replaceWith(const std::string& temp, const std::string& target);
void removeQuietly(const std::string& path);
}  // namespace files

// The same with the standard library only: the implementation on systems without POSIX,
// built everywhere so that it is tested everywhere.
namespace portable_files {
Result<Bytes> readFile(const std::string& path, std::size_t maxSize, const std::string& tooLargeMessage);
Result<std::string> writeBeside(const std::string& target, ByteView bytes);
Status replaceWith(const std::string& temp, const std::string& target);
void removeQuietly(const std::string& path);
}  // namespace portable_files

}  // namespace zarvelo
