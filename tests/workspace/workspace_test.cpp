#include "workspace/file_io.hpp"
#include "workspace/messages.hpp"
#include "workspace/workspace.hpp"
#include "flash/dnl_file.hpp"
#include "flash/firmware_versions.hpp"
#include "flash/flash_image.hpp"
#include "flash/messages.hpp"
#include "synthetic_firmware.hpp"
#include "test_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <vector>

using namespace zarvelo;
using test::TempDir;
using test::readFile;
using test::writeFile;
namespace fs = std::filesystem;

namespace {

// Highest flash address written by any record of a DNL body.
std::size_t lastRecordEnd(ByteView dnl) {
    std::size_t end = 0;
    for (std::size_t p = kDnlHeaderSize; p + 4 <= dnl.size() - kDnlTrailerSize;) {
        const std::size_t a = dnl[p] << 16 | dnl[p + 1] << 8 | dnl[p + 2];
        end = std::max(end, a + dnl[p + 3]);
        p += 4 + dnl[p + 3];
    }
    return end;
}

}  // namespace

TEST(WorkspaceLoad, FreshSampleOfEveryVersion) {
    for (int v = 1; v <= kVersionCount; ++v) {
        const auto sample = synth::makeSample({.version = v});
        Workspace ws;
        const Status outcome = ws.loadBytes(sample.dnl, "/x/sample.DNL");
        ASSERT_TRUE(outcome.ok()) << v << ": " << outcome.message();
        EXPECT_FALSE(ws.markerCorrected);
        EXPECT_EQ(ws.versionIndex, v);
        EXPECT_EQ(ws.dspLogoSupported, firmwareVersion(v).dspLogoSupported());
        EXPECT_EQ(ws.vwOverlays, firmwareVersion(v).vwOverlays());
        EXPECT_EQ(ws.flash, sample.flash) << v;
        EXPECT_EQ(ws.infoLines, sample.infoLines) << v;
        EXPECT_EQ(ws.infoLines[3], "Datei ist Original");
        EXPECT_EQ(ws.fileName, "/x/sample.DNL");
    }
}

TEST(WorkspaceSave, RoundTripKeepsVersionAndImageForEveryVersion) {
    TempDir dir;
    for (int v = 1; v <= kVersionCount; ++v) {
        for (bool large : {false, true}) {
            if (large && v != 4 && v != 9) continue;
            const auto sample = synth::makeSample({.version = v, .largeImage = large});
            Workspace ws;
            ASSERT_TRUE(ws.loadBytes(sample.dnl, "in.DNL").ok());
            const std::string out = dir.file("out.DNL");
            ASSERT_TRUE(ws.saveDnl(out, ColourMode::Normal).ok());

            const Bytes saved = readFile(out);
            EXPECT_EQ(saved, ws.dnl);
            EXPECT_EQ((saved.size() - kDnlMinimumSize) % 60, 0u);
            EXPECT_EQ(saved[2] | saved[3] << 8 | saved[4] << 16 | saved[5] << 24, static_cast<int>(saved.size() - 32));
            for (std::size_t p = kDnlHeaderSize; p < saved.size() - kDnlTrailerSize; p += 60) ASSERT_EQ(saved[p + 3], 0x38);
            EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + 2, sample.dnl.begin()));
            EXPECT_TRUE(std::equal(saved.end() - 68, saved.end(), sample.dnl.end() - 68));

            Workspace again;
            const Status outcome = again.loadFile(out);
            ASSERT_TRUE(outcome.ok()) << outcome.message();
            EXPECT_FALSE(again.markerCorrected);
            EXPECT_EQ(again.versionIndex, v);
            EXPECT_EQ(again.flash.size(), sample.flash.size());
            const std::size_t end = lastRecordEnd(saved);
            for (std::size_t a = 0x6000; a < end; ++a) {
                if (a >= kFlashChecksumOffset && a < kFlashChecksumOffset + 8) continue;
                ASSERT_EQ(again.flash[a], sample.flash[a]) << "version " << v << " at 0x" << std::hex << a;
            }
            EXPECT_EQ(again.infoLines[3], DNL_CheckOriginal(saved, v) ? "Datei ist Original" : "Datei wurde modifiziert");
        }
    }
}

TEST(WorkspaceSave, ColourModeStaysInTheWorkspace) {
    const auto sample = synth::makeSample({.version = 7});
    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(sample.dnl, "in.DNL").ok());
    const std::size_t p = ws.paletteOffset();
    const Bytes day(ws.flash.begin() + p, ws.flash.begin() + p + 768);
    ws.rebuildDnl(ColourMode::AlwaysDay);
    EXPECT_TRUE(std::equal(day.begin(), day.end(), ws.flash.begin() + p + 0x300));
    Workspace reloaded;
    ASSERT_TRUE(reloaded.loadBytes(ws.dnl, "x").ok());
    EXPECT_TRUE(std::equal(day.begin(), day.end(), reloaded.flash.begin() + p + 0x300));
}

TEST(WorkspaceLoad, DamagedSecondMarkerIsCorrectedAndSaved) {
    const auto sample = synth::makeSample({.version = 2, .damagedSecondMarker = true});
    Workspace ws;
    const Status outcome = ws.loadBytes(sample.dnl, "in.DNL");
    ASSERT_TRUE(outcome.ok());
    EXPECT_TRUE(ws.markerCorrected);
    ws.rebuildDnl(ColourMode::Normal);
    const std::size_t t = ws.dnl.size() - kDnlTrailerSize;
    EXPECT_EQ(Bytes(ws.dnl.begin() + t + 4, ws.dnl.begin() + t + 8), (Bytes{0xFE, 0xDC, 0x01, 0x23}));
}

TEST(WorkspaceLoad, NonOriginalChecksumSaysModified) {
    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(synth::makeSample({.version = 5, .originalChecksum = false}).dnl, "x").ok());
    EXPECT_EQ(ws.infoLines[3], "Datei wurde modifiziert");
}

TEST(WorkspaceLoad, RejectedFilesLeaveTheWorkspaceWhole) {
    const auto good = synth::makeSample({.version = 3});
    auto fixed = [](Bytes dnl) {
        DNL_schreibe_Pruefsumme(dnl, DNL_rechne_Pruefsumme(dnl));
        return dnl;
    };
    Bytes unknown = good.dnl;
    unknown[9] = 0x77;
    Bytes badSum = good.dnl;
    badSum[40] ^= 1;
    Bytes tinyKnown(40, 0);
    std::copy(good.dnl.begin() + 6, good.dnl.begin() + 10, tinyKnown.begin() + 6);
    Bytes cut = good.dnl;
    cut.resize(cut.size() - 69);  // ends inside a record
    Bytes shortMarker = synth::assembleDnl(3, {{0x6000, {0xFE, 0xDC, 0x01, 0x23}}, {0x7000, Bytes(60, 1)}},
                                           Bytes{0x00, 0x60, 0x00, 0x02, 0xFE, 0xDC});
    shortMarker = fixed(shortMarker);

    struct Case {
        const char* name;
        Bytes dnl;
        std::string message;
    };
    const Case cases[] = {
        {"empty file", {}, msg::kChecksumError},
        {"31 bytes", Bytes(31, 0), msg::kChecksumError},
        {"checksum error", badSum, msg::kChecksumError},
        {"unknown version", unknown, msg::kUnknownVersion},
        {"32-byte header of an unknown version", Bytes(32, 0), msg::kUnknownVersion},
        {"shorter than header and trailer", fixed(tinyKnown), msg::kFileTooShort},
        {"record cut off", fixed(cut), msg::kRecordCutOff},
        {"second 0x6000 record too short", shortMarker, msg::kShortMarkerRecord},
    };
    for (const auto& c : cases) {
        Workspace ws;
        ASSERT_TRUE(ws.loadBytes(good.dnl, "good.DNL").ok());
        const Bytes dnl = ws.dnl, flash = ws.flash;
        const auto lines = ws.infoLines;
        const Status outcome = ws.loadBytes(c.dnl, "bad.DNL");
        EXPECT_FALSE(outcome.ok()) << c.name;
        EXPECT_EQ(outcome.message(), c.message) << c.name;
        EXPECT_EQ(ws.dnl, dnl) << c.name;
        EXPECT_EQ(ws.flash, flash) << c.name;
        EXPECT_EQ(ws.versionIndex, 3) << c.name;
        EXPECT_EQ(ws.fileName, "good.DNL") << c.name;
        EXPECT_EQ(ws.infoLines, lines) << c.name;
    }
}

TEST(WorkspaceLoad, OddBodyIsAcceptedUnderTheChecksumRule) {
    // An odd record length makes the body odd; the last byte counts twice in the checksum.
    Bytes dnl = synth::assembleDnl(6, {{0x6000, {0xFE, 0xDC, 0x01, 0x23, 0x05}}, {0x9000, Bytes(34, 0x11)}},
                                   synth::standardTrailer());
    ASSERT_EQ((dnl.size() - 32) % 2, 1u);
    Workspace ws;
    const Status outcome = ws.loadBytes(dnl, "odd.DNL");
    ASSERT_TRUE(outcome.ok()) << outcome.message();
    EXPECT_EQ(ws.flash[0x9020], 0x11);
    ws.rebuildDnl(ColourMode::Normal);
    EXPECT_EQ(ws.dnl.size() % 2, 0u);
}

TEST(WorkspaceFiles, LoadFromDiskAndMissingFile) {
    TempDir dir;
    const auto sample = synth::makeSample({.version = 10});
    writeFile(dir.file("a.DNL"), sample.dnl);
    Workspace ws;
    EXPECT_TRUE(ws.loadFile(dir.file("a.DNL")).ok());
    const Status missing = ws.loadFile(dir.file("fehlt.DNL"));
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.message().find("fehlt.DNL"), std::string::npos);
    EXPECT_FALSE(ws.loadFile(dir.file("")).ok());  // a directory
    EXPECT_EQ(ws.fileName, dir.file("a.DNL"));

    // A long path is kept whole: it is what the save dialog proposes later.
    const std::string deep = dir.file(std::string(120, 'd')) + "/" + std::string(120, 'e') + "/" + std::string(40, 'f') + ".DNL";
    fs::create_directories(fs::path(deep).parent_path());
    writeFile(deep, sample.dnl);
    ASSERT_TRUE(ws.loadFile(deep).ok());
    EXPECT_EQ(ws.fileName, deep);
}

TEST(WorkspaceFiles, FailedWritesLeaveFilesAsTheyWere) {
    TempDir dir;
    const auto sample = synth::makeSample({.version = 1});
    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(sample.dnl, "x").ok());

    writeFile(dir.file("plain"), Bytes{1, 2, 3});
    const Status intoFile = ws.saveDnl(dir.file("plain") + "/out.DNL", ColourMode::Normal);
    EXPECT_FALSE(intoFile.ok());
    EXPECT_FALSE(intoFile.message().empty());
    EXPECT_EQ(readFile(dir.file("plain")), (Bytes{1, 2, 3}));

    fs::create_directories(dir.file("adir"));
    EXPECT_FALSE(ws.saveBin(dir.file("adir")).ok());
    EXPECT_TRUE(fs::is_directory(dir.file("adir")));

    // A successful write replaces an existing file completely and leaves no temporary behind.
    writeFile(dir.file("old.BIN"), Bytes(3 << 20, 0x55));
    ASSERT_TRUE(ws.saveBin(dir.file("old.BIN")).ok());
    EXPECT_EQ(readFile(dir.file("old.BIN")), ws.flash);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("")), fs::directory_iterator()), 3);
}

namespace {

// Everything a save may change in the workspace.
struct SavedState {
    Bytes dnl, flash;
    Palette day, night;
    bool operator==(const SavedState&) const = default;
};
SavedState savedState(const Workspace& ws) { return {ws.dnl, ws.flash, ws.dayPalette, ws.nightPalette}; }

std::size_t filesIn(const std::string& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

}  // namespace

TEST(WorkspaceSave, WrittenFileThatDoesNotVerifyLeavesTargetAndWorkspace) {
    // What the disk might hand back instead of what was written.
    auto fixChecksum = [](Bytes& b) { DNL_schreibe_Pruefsumme(b, DNL_rechne_Pruefsumme(b)); };
    struct Case {
        const char* name;
        std::function<void(Bytes&)> corrupt;
        const char* reason;  // part of the message
    };
    const std::vector<Case> cases = {
        {"flipped record byte", [](Bytes& b) { b[kDnlHeaderSize + 4 + 17] ^= 0x40; }, "Prüfsumme"},
        {"flipped record byte, checksum fixed up",
         [&](Bytes& b) {
             b[kDnlHeaderSize + 60 * 3 + 4] ^= 0x01;
             fixChecksum(b);
         },
         "Flash-Abbild"},
        {"record address moved, checksum fixed up",
         [&](Bytes& b) {
             b[kDnlHeaderSize + 60 * 5 + 2] += 2;
             fixChecksum(b);
         },
         "Flash-Abbild"},
        {"trailer byte changed, checksum fixed up",
         [&](Bytes& b) {
             b[b.size() - 1] ^= 0x10;
             fixChecksum(b);
         },
         "geschriebenen Daten"},
        {"cut inside a record, checksum fixed up",
         [&](Bytes& b) {
             b.resize(b.size() - kDnlTrailerSize - 30);
             fixChecksum(b);
         },
         "entpacken"},
        {"cut off", [](Bytes& b) { b.resize(b.size() - 100); }, "Prüfsumme"},
        {"last block lost", [](Bytes& b) { std::fill(b.end() - 4096, b.end(), 0); }, "Prüfsumme"},
        {"empty", [](Bytes& b) { b.clear(); }, "Prüfsumme"},
    };
    const auto sample = synth::makeSample({.version = 9});
    for (const Case& c : cases) {
        for (bool targetExists : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (targetExists ? ", over an old file" : ", new file"));
            TempDir dir;
            const std::string target = dir.file("out.DNL");
            if (targetExists) writeFile(target, Bytes{9, 8, 7});
            Workspace ws;
            ASSERT_TRUE(ws.loadBytes(sample.dnl, "in.DNL").ok());
            const SavedState before = savedState(ws);
            ws.afterDnlWritten = [&](const std::string& temp) {
                Bytes b = readFile(temp);
                c.corrupt(b);
                writeFile(temp, b);
            };
            const Status outcome = ws.saveDnl(target, ColourMode::Swap);
            EXPECT_FALSE(outcome.ok());
            EXPECT_EQ(outcome.message().rfind(msg::kNotVerified, 0), 0u) << outcome.message();
            EXPECT_NE(outcome.message().find(msg::kTargetUnchanged), std::string::npos);
            EXPECT_NE(outcome.message().find(c.reason), std::string::npos) << outcome.message();
            EXPECT_EQ(fs::exists(target), targetExists);
            if (targetExists) {
                EXPECT_EQ(readFile(target), (Bytes{9, 8, 7}));
            }
            EXPECT_EQ(filesIn(dir.file("")), targetExists ? 1u : 0u) << "temporary file left behind";
            EXPECT_TRUE(savedState(ws) == before);
        }
    }

    // The unchanged disk: the same save goes through and is what was read back.
    TempDir dir;
    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(sample.dnl, "in.DNL").ok());
    bool checked = false;
    ws.afterDnlWritten = [&](const std::string&) { checked = true; };
    ASSERT_TRUE(ws.saveDnl(dir.file("out.DNL"), ColourMode::Swap).ok());
    EXPECT_TRUE(checked);
    EXPECT_EQ(readFile(dir.file("out.DNL")), ws.dnl);
}

TEST(WorkspaceSave, FailedSaveKeepsColourModeOutAndTheRetryWritesTheSame) {
    TempDir dir;
    // Root writes into a folder without write permission; a read-only file system stops it.
    std::string readOnly = dir.file("locked");
    fs::create_directories(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() == 0) readOnly = "/proc";
    fs::create_directories(dir.file("open"));

    const auto sample = synth::makeSample({.version = 4});
    for (ColourMode mode : {ColourMode::AlwaysDay, ColourMode::Swap, ColourMode::AlwaysNight}) {
        SCOPED_TRACE(static_cast<int>(mode));
        Workspace first;  // saves once, successfully
        ASSERT_TRUE(first.loadBytes(sample.dnl, "in.DNL").ok());
        ASSERT_TRUE(first.saveDnl(dir.file("open/first.DNL"), mode).ok());

        Workspace ws;
        ASSERT_TRUE(ws.loadBytes(sample.dnl, "in.DNL").ok());
        const SavedState before = savedState(ws);
        ASSERT_NE(ws.dayPalette, ws.nightPalette);
        const Status failed = ws.saveDnl(readOnly + "/out.DNL", mode);
        EXPECT_FALSE(failed.ok());
        EXPECT_FALSE(failed.message().empty());
        EXPECT_TRUE(savedState(ws) == before) << "a failed save changed the workspace";

        ASSERT_TRUE(ws.saveDnl(dir.file("open/retry.DNL"), mode).ok());
        EXPECT_EQ(readFile(dir.file("open/retry.DNL")), readFile(dir.file("open/first.DNL")));
        EXPECT_TRUE(savedState(ws) == savedState(first));
    }
    fs::permissions(dir.file("locked"), fs::perms::owner_all);
}
