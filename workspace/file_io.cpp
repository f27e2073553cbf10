#include "workspace/file_io.hpp"

#include "workspace/platform_file.hpp"

namespace zarvelo {

FileReadResult readWholeFile(const std::string& path, std::size_t maxSize, const std::string& tooLargeMessage) {
    return files::readFile(path, maxSize, tooLargeMessage);
}

std::string writeFileAtomically(const std::string& path, ByteView bytes, const WrittenFileCheck& check) {
    const TempFile temp = files::writeBeside(path, bytes);
    if (!temp.error.empty()) return temp.error;
    if (check) {
        const std::string refused = check(temp.path);
        if (!refused.empty()) {
            files::removeQuietly(temp.path);
            return refused;
        }
    }
    return files::replaceWith(temp.path, path);
}

}  // namespace zarvelo
