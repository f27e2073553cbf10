// File calls with the standard library alone. Without POSIX there is no fsync and no
// exclusive creation through streams; C11's "x" mode of fopen gives the latter.
#include "workspace/platform_file.hpp"

#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace zarvelo::portable_files {

namespace fs = std::filesystem;

namespace {
Status systemError(const std::string& path, const std::error_code& ec) { return Status::failure(path + ": " + ec.message()); }
Status systemError(const std::string& path, std::errc e) { return systemError(path, std::make_error_code(e)); }
}  // namespace

Result<Bytes> readFile(const std::string& path, std::size_t maxSize, const std::string& tooLargeMessage) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec) return systemError(path, ec);
    if (fs::is_directory(status)) return systemError(path, std::errc::is_a_directory);
    if (!fs::is_regular_file(status)) return systemError(path, std::errc::invalid_argument);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return systemError(path, std::errc::permission_denied);
    Bytes bytes;
    std::uint8_t buffer[65536];
    while (true) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, f);
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (bytes.size() > maxSize) {
            std::fclose(f);
            return Status::failure(tooLargeMessage);
        }
        if (n < sizeof buffer) break;
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return systemError(path, std::errc::io_error);
    return bytes;
}

Result<std::string> writeBeside(const std::string& target, ByteView bytes) {
    const fs::path path(target);
    fs::path dir = path.parent_path();
    if (dir.empty()) dir = ".";
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return systemError(target, std::errc::no_such_file_or_directory);
    std::random_device seed;
    std::mt19937 rng(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = (dir / ("." + path.filename().string() + "." + std::to_string(rng()))).string();
        std::FILE* f = std::fopen(temp.c_str(), "wbx");  // fails when the name exists
        if (!f) {
            if (fs::exists(temp, ec)) continue;
            return systemError(target, std::errc::permission_denied);
        }
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        const bool flushed = std::fflush(f) == 0;
        const bool closed = std::fclose(f) == 0;
        if (!written || !flushed || !closed) {
            fs::remove(temp, ec);
            return systemError(target, std::errc::io_error);
        }
        if (fs::exists(target, ec)) fs::permissions(temp, fs::status(target, ec).permissions(), ec);
        return temp;
    }
    return systemError(target, std::errc::file_exists);
}

Status replaceWith(const std::string& temp, const std::string& target) {
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (!ec) return {};
    std::error_code ignored;
    fs::remove(temp, ignored);
    return systemError(target, ec);
}

void removeQuietly(const std::string& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

}  // namespace zarvelo::portable_files
