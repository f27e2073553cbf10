#include "workspace/file_io.hpp"

#include "workspace/platform_file.hpp"

namespace zarvelo {

Result<Bytes> readWholeFile(const std::string& path, std::size_t maxSize, const std::string& tooLargeMessage) {
    return files::readFile(path, maxSize, tooLargeMessage);
}

Status writeFileAtomically(const std::string& path, ByteView bytes, const WrittenFileCheck& check) {
    const Result<std::string> temp = files::writeBeside(path, bytes);
    if (!temp.ok()) return temp.status();
    if (check) {
        Status accepted = check(temp.value());
        if (!accepted.ok()) {
            files::removeQuietly(temp.value());
            return accepted;
        }
    }
    return files::replaceWith(temp.value(), path);
}

}  // namespace zarvelo
