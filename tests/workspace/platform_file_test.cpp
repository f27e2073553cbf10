// Both file implementations, the POSIX one and the portable one, keep the same promises.
#include "workspace/platform_file.hpp"
#include "test_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>

using namespace zarvelo;
using test::TempDir;
using test::readFile;
using test::writeFile;
namespace fs = std::filesystem;

namespace {

struct Implementation {
    const char* name;
    Result<Bytes> (*read)(const std::string&, std::size_t, const std::string&);
    Result<std::string> (*writeBeside)(const std::string&, ByteView);
    Status (*replaceWith)(const std::string&, const std::string&);
};

const Implementation kImplementations[] = {
    {"system", files::readFile, files::writeBeside, files::replaceWith},
    {"portable", portable_files::readFile, portable_files::writeBeside, portable_files::replaceWith},
};

std::size_t entries(const std::string& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

}  // namespace

TEST(PlatformFiles, ReadsWritesAndReplacesAlike) {
    for (const Implementation& impl : kImplementations) {
        SCOPED_TRACE(impl.name);
        TempDir dir;
        const std::string target = dir.file("ziel.BIN");
        writeFile(target, Bytes{9, 9});
        fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        const Bytes data(200000, 0x5A);
        const Result<std::string> temp = impl.writeBeside(target, data);
        ASSERT_TRUE(temp.ok()) << temp.message();
        EXPECT_EQ(fs::path(temp.value()).parent_path(), fs::path(target).parent_path());
        EXPECT_EQ(readFile(target), (Bytes{9, 9}));  // untouched until replaced
        EXPECT_EQ(fs::status(temp.value()).permissions(), fs::status(target).permissions());
        const Status replaced = impl.replaceWith(temp.value(), target);
        ASSERT_TRUE(replaced.ok()) << replaced.message();
        EXPECT_EQ(readFile(target), data);
        EXPECT_EQ(entries(dir.file("")), 1u);

        const Result<Bytes> back = impl.read(target, 1 << 20, "zu groß");
        ASSERT_TRUE(back.ok()) << back.message();
        EXPECT_EQ(back.value(), data);
        EXPECT_EQ(impl.read(target, 1000, "zu groß").message(), "zu groß");
        EXPECT_NE(impl.read(dir.file("fehlt"), 1000, "zu groß").message().find("fehlt"), std::string::npos);
        EXPECT_FALSE(impl.read(dir.file(""), 1000, "zu groß").message().empty());  // a directory

        // Into a folder that does not exist, or where a file stands: nothing is created.
        EXPECT_FALSE(impl.writeBeside(dir.file("fehlt/x.BIN"), data).message().empty());
        EXPECT_FALSE(impl.writeBeside(target + "/x.BIN", data).message().empty());
        EXPECT_EQ(entries(dir.file("")), 1u);
    }
}
