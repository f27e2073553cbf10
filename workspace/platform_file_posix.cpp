// POSIX file calls: exclusive temporary files, fsync, the permissions of a replaced file.
#include "workspace/platform_file.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zarvelo::files {

namespace {
Status systemError(const std::string& path, int err) { return Status::failure(path + ": " + std::strerror(err)); }
}  // namespace

Result<Bytes> readFile(const std::string& path, std::size_t maxSize, const std::string& tooLargeMessage) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return systemError(path, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        Status refused = systemError(path, S_ISDIR(st.st_mode) ? EISDIR : errno ? errno : EINVAL);
        ::close(fd);
        return refused;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxSize) {
        ::close(fd);
        return Status::failure(tooLargeMessage);
    }
    Bytes bytes(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (true) {
        if (done == bytes.size()) bytes.resize(bytes.size() + 4096);  // file grew meanwhile
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            Status failed = systemError(path, errno);
            ::close(fd);
            return failed;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
        if (done > maxSize) {
            ::close(fd);
            return Status::failure(tooLargeMessage);
        }
    }
    ::close(fd);
    bytes.resize(done);
    return bytes;
}

Result<std::string> writeBeside(const std::string& target, ByteView bytes) {
    namespace fs = std::filesystem;
    const fs::path path(target);
    fs::path dir = path.parent_path();
    if (dir.empty()) dir = ".";
    std::string tmpl = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return systemError(target, errno);
    auto fail = [&](int err) -> Result<std::string> {
        ::close(fd);
        ::unlink(tmpl.c_str());
        return systemError(target, err);
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) return fail(errno);
    // Keep the permissions of a file we replace; a new file gets the usual 0666 & ~umask.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        return systemError(target, err);
    }
    return tmpl;
}

Status replaceWith(const std::string& temp, const std::string& target) {
    if (::rename(temp.c_str(), target.c_str()) == 0) return {};
    const int err = errno;
    ::unlink(temp.c_str());
    return systemError(target, err);
}

void removeQuietly(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace zarvelo::files
