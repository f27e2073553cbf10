// Systems without POSIX use the standard-library file calls.
#include "workspace/platform_file.hpp"

namespace zarvelo::files {

Result<Bytes> readFile(const std::string& path, std::size_t maxSize, const std::string& tooLargeMessage) {
    return portable_files::readFile(path, maxSize, tooLargeMessage);
}
Result<std::string> writeBeside(const std::string& target, ByteView bytes) {
    return portable_files::writeBeside(target, bytes);
}
Status replaceWith(const std::string& temp, const std::string& target) {
    return portable_files::replaceWith(temp, target);
}
void removeQuietly(const std::string& path) { portable_files::removeQuietly(path); }

}  // namespace zarvelo::files
