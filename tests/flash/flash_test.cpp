#include "flash/dnl_file.hpp"
#include "flash/firmware_versions.hpp"
#include "flash/flash_image.hpp"
#include "flash/messages.hpp"
#include "flash/rebuild.hpp"
#include "synthetic_firmware.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace zarvelo;
using synth::Record;

namespace {

Bytes headerWithBody(const Bytes& body) {
    Bytes dnl;
    dnl.reserve(32 + body.size());
    dnl.resize(32, 0);
    dnl.insert(dnl.end(), body.begin(), body.end());
    return dnl;
}

Bytes dnlOf(const std::vector<Record>& records, bool damagedMarker = false) {
    return synth::assembleDnl(1, records, synth::standardTrailer(damagedMarker));
}

}  // namespace

TEST(DnlChecksum, WorkedExampleAndEmptyBody) {
    Bytes dnl = headerWithBody({0x01, 0x02, 0x03, 0x04});
    EXPECT_EQ(DNL_rechne_Pruefsumme(dnl), 0xF9FC);
    DNL_schreibe_Pruefsumme(dnl, DNL_rechne_Pruefsumme(dnl));
    EXPECT_EQ(dnl[30], 0xFC);
    EXPECT_EQ(dnl[31], 0xF9);
    EXPECT_EQ(DNL_lese_Pruefsumme(dnl), 0xF9FC);
    EXPECT_EQ((Bytes{dnl[2], dnl[3], dnl[4], dnl[5]}), (Bytes{4, 0, 0, 0}));

    EXPECT_EQ(DNL_rechne_Pruefsumme(Bytes(32, 0x77)), 0);
}

TEST(DnlChecksum, OddBodyCountsLastByteAsLowAndHigh) {
    // Words 0x0201 and 0x0303.
    EXPECT_EQ(DNL_rechne_Pruefsumme(headerWithBody({0x01, 0x02, 0x03})), static_cast<std::uint16_t>(0x10000 - 0x0504));
}

TEST(DnlChecksum, CoversBodyButNotHeader) {
    const Bytes original = synth::makeSample({.version = 3}).dnl;
    ASSERT_EQ(DNL_lese_Pruefsumme(original), DNL_rechne_Pruefsumme(original));
    for (std::size_t pos : {std::size_t{0}, std::size_t{1}, std::size_t{10}, std::size_t{20}, std::size_t{29}}) {
        Bytes dnl = original;
        dnl[pos] ^= 0x5A;
        EXPECT_EQ(DNL_rechne_Pruefsumme(dnl), DNL_lese_Pruefsumme(dnl)) << "header byte " << pos;
    }
    for (std::size_t pos : {std::size_t{32}, std::size_t{33}, original.size() / 2, original.size() - 1}) {
        Bytes dnl = original;
        dnl[pos] ^= 0x01;
        EXPECT_NE(DNL_rechne_Pruefsumme(dnl), DNL_lese_Pruefsumme(dnl)) << "body byte " << pos;
    }
}

TEST(FirmwareVersions, RecognitionAndFlags) {
    struct Case {
        std::array<std::uint8_t, 4> id;
        int index;
        bool dsp, vw;
    };
    const Case cases[] = {
        {{0x02, 0x16, 0x03, 0x02}, 4, true, true},   {{0x02, 0x17, 0x09, 0x62}, 1, false, true},
        {{0x02, 0x08, 0x04, 0x63}, 2, true, true},   {{0x02, 0x08, 0x0C, 0x62}, 6, false, false},
        {{0x02, 0x05, 0x06, 0x02}, 13, false, false}, {{0x02, 0x05, 0x06, 0x03}, -1, false, false},
    };
    for (const auto& c : cases) {
        Bytes dnl(32, 0);
        std::copy(c.id.begin(), c.id.end(), dnl.begin() + 6);
        const VersionFlags v = DNL_lese_Version(dnl);
        EXPECT_EQ(v.index, c.index);
        EXPECT_EQ(v.dspLogoSupported, c.dsp);
        EXPECT_EQ(v.vwOverlays, c.vw);
    }
    EXPECT_EQ(firmwareVersion(4).name, "VW 2002.03 DX");
    // Rows 2..5 have both flags, row 1 only the overlays, rows 6..13 neither.
    for (int row = 1; row <= kVersionCount; ++row) {
        EXPECT_EQ(firmwareVersion(row).dspLogoSupported(), row >= 2 && row <= 5) << row;
        EXPECT_EQ(firmwareVersion(row).vwOverlays(), row <= 5) << row;
    }
    EXPECT_EQ(DNL_lese_Version(Bytes(8, 0)).index, -1);  // header cut off before the id
}

TEST(FirmwareVersions, IndexOutsideTheTableGivesARowWithoutResources) {
    for (const int index : {0, -1, kVersionCount + 1, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        const FirmwareVersion& v = firmwareVersion(index);
        EXPECT_EQ(&v, &kUnknownFirmware) << index;
        EXPECT_LT(v.paletteOffset, 0);
        EXPECT_LT(v.textTableOffset, 0);
        EXPECT_LT(v.gridOffset, 0);
        EXPECT_FALSE(v.vwOverlays());
        EXPECT_FALSE(v.dspLogoSupported());
    }
}

TEST(FirmwareVersions, OriginalTestComparesStoredChecksumOnly) {
    Bytes dnl(32, 0);
    dnl[30] = 0x08;
    dnl[31] = 0xD7;
    EXPECT_TRUE(DNL_CheckOriginal(dnl, 1));
    EXPECT_FALSE(DNL_CheckOriginal(dnl, 2));
    EXPECT_FALSE(DNL_CheckOriginal(dnl, -1));
}

TEST(VersionTexts, LinesPointersAndBounds) {
    Bytes flash(kSmallFlashSize, 0xFF);
    auto pointer = [&](std::size_t at, std::uint32_t target) {
        flash[at] = 0x12;  // the top byte of a pointer is ignored
        flash[at + 1] = static_cast<std::uint8_t>(target >> 16);
        flash[at + 2] = static_cast<std::uint8_t>(target >> 8);
        flash[at + 3] = static_cast<std::uint8_t>(target);
    };
    auto str = [&](std::size_t at, const std::string& s) {
        std::copy(s.begin(), s.end(), flash.begin() + static_cast<std::ptrdiff_t>(at));
        flash[at + s.size()] = 0;
    };
    pointer(0x6010, 0x7000); str(0x7000, "EINS");
    pointer(0x6014, 0x7010); str(0x7010, "ZWEI");
    pointer(0x6018, 0x7020); str(0x7020, "DREI");
    pointer(0x6044, 0xFFFFFF);                       // beyond the image: empty string
    pointer(0x6048, kSmallFlashSize - 3);            // no zero byte before the end
    flash[kSmallFlashSize - 3] = 'X'; flash[kSmallFlashSize - 2] = 'Y'; flash[kSmallFlashSize - 1] = 'Z';

    const auto lines = BIN_zu_Versionstexte(flash, true);
    EXPECT_EQ(lines[0], "EINS");
    EXPECT_EQ(lines[1], "ZWEI DREI ");
    EXPECT_EQ(lines[2], " XYZ ");
    EXPECT_EQ(lines[3], "Datei ist Original");
    EXPECT_EQ(BIN_zu_Versionstexte(flash, false)[3], "Datei wurde modifiziert");

    // A string is cut at 255 characters.
    std::fill_n(flash.begin() + 0x7000, 400, 'A');
    EXPECT_EQ(BIN_zu_Versionstexte(flash, true)[0], std::string(255, 'A'));
}

TEST(Unpack, ImageSizeFollowsHighestEnd) {
    struct Case {
        std::uint32_t address;
        std::size_t length;
        std::size_t size;
    };
    const Case cases[] = {{0x7FFF0, 16, kSmallFlashSize}, {0x7FFF0, 17, kLargeFlashSize}, {0xFFFF0, 100, kLargeFlashSize}};
    for (const auto& c : cases) {
        Bytes dnl = dnlOf({{0x6000, {0xFE, 0xDC, 0x01, 0x23}}, {c.address, Bytes(c.length, 0x11)}});
        const Result<UnpackedDnl> r = DNL_zu_BIN(dnl);
        ASSERT_TRUE(r.ok()) << r.message();
        EXPECT_EQ(r->flash.size(), c.size);
        EXPECT_EQ(r->flash[c.address], 0x11);
    }
}

TEST(Unpack, AddressOrderRules) {
    Bytes dnl = dnlOf({
        {0x0000, {0xAA}},              // not above the initial previous address 0: dropped
        {0x6000, {0xFE, 0xDC, 0x01, 0x23, 0x42}},
        {0x6100, {0x01, 0x02}},
        {0x6100, {0x03, 0x04}},        // same address again: dropped
        {0x8000, {0x05}},
        {0x6000, {0xFE, 0xDC, 0x01, 0x23, 0x99}},  // lower: dropped
        {0x7000, {0x06}},              // above the dropped 0x6000: copied again
    });
    const Result<UnpackedDnl> r = DNL_zu_BIN(dnl);
    ASSERT_TRUE(r.ok());
    const Bytes& f = r->flash;
    EXPECT_FALSE(r->markerCorrected);
    EXPECT_EQ(f[0], 0xFF);
    EXPECT_EQ(f[0x6004], 0x42);
    EXPECT_EQ(f[0x6100], 0x01);
    EXPECT_EQ(f[0x6101], 0x02);
    EXPECT_EQ(f[0x8000], 0x05);
    EXPECT_EQ(f[0x7000], 0x06);
    EXPECT_EQ(f[0x6005], 0xFF);  // gap
    EXPECT_EQ(f[0x7001], 0xFF);
}

TEST(Unpack, SecondMarkerIsCheckedAndCorrectedInTheDnlCopy) {
    const Bytes good = dnlOf({{0x6000, {0xFE, 0xDC, 0x01, 0x23}}, {0x7000, {1, 2, 3}}});
    Bytes copy = good;
    const Result<UnpackedDnl> clean = DNL_zu_BIN(copy);
    ASSERT_TRUE(clean.ok());
    EXPECT_FALSE(clean->markerCorrected);
    EXPECT_EQ(copy, good);

    Bytes damaged = dnlOf({{0x6000, {0x00, 0x00, 0x00, 0x00}}, {0x7000, {1, 2, 3}}}, /*damagedMarker=*/true);
    const Bytes before = damaged;
    const Result<UnpackedDnl> r = DNL_zu_BIN(damaged);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r->markerCorrected);  // the first record for 0x6000 is never checked
    const std::size_t trailer = damaged.size() - kDnlTrailerSize;
    EXPECT_EQ(Bytes(damaged.begin() + trailer + 4, damaged.begin() + trailer + 8), (Bytes{0xFE, 0xDC, 0x01, 0x23}));
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + trailer + 4, damaged.begin()));
    EXPECT_EQ(r->flash[0x6000], 0x00);  // the dropped trailer record never reaches the image
}

TEST(Unpack, MalformedBodiesAreRejectedWithoutTouchingTheFile) {
    struct Case {
        const char* name;
        Bytes dnl;
        const char* message;
    };
    Bytes cutRecord = dnlOf({{0x6000, {0xFE, 0xDC, 0x01, 0x23}}});
    cutRecord.resize(cutRecord.size() - 1);
    Bytes cutHeader = Bytes(32, 0);
    cutHeader.insert(cutHeader.end(), {0x00, 0x60});
    const Bytes shortMarker = synth::assembleDnl(1, {{0x6000, {0xFE, 0xDC, 0x01, 0x23}}, {0x7000, {1}}},
                                                 Bytes{0x00, 0x60, 0x00, 0x02, 0xFE, 0xDC});
    const Case cases[] = {
        {"record cut off by the end", cutRecord, msg::kRecordCutOff},
        {"record header cut off", cutHeader, msg::kRecordCutOff},
        {"empty body", Bytes(32, 0), msg::kRecordCutOff},
        {"second 0x6000 record with 2 data bytes", shortMarker, msg::kShortMarkerRecord},
    };
    for (const auto& c : cases) {
        Bytes dnl = c.dnl;
        const Result<UnpackedDnl> r = DNL_zu_BIN(dnl);
        EXPECT_FALSE(r.ok()) << c.name;
        EXPECT_EQ(r.message(), c.message) << c.name;
        EXPECT_EQ(dnl, c.dnl) << c.name;
    }
}

TEST(FlashChecksum, WorkedExamples) {
    Bytes small(kSmallFlashSize, 0xFF);
    BIN_schreibe_Pruefsumme(small);
    EXPECT_EQ(Bytes(small.begin() + 0x7FF00, small.begin() + 0x7FF08),
              (Bytes{0x07, 0xF7, 0xF8, 0x08, 0xF8, 0x08, 0x07, 0xF7}));
    Bytes large(kLargeFlashSize, 0xFF);
    BIN_schreibe_Pruefsumme(large);
    EXPECT_EQ(Bytes(large.begin() + 0x7FF00, large.begin() + 0x7FF08),
              (Bytes{0x0F, 0xEF, 0xF8, 0x08, 0xF0, 0x10, 0x07, 0xF7}));
    // The checksum area itself is not summed, and 0x7FF08.. is left alone.
    large[0x7FF10] = 0x00;
    BIN_schreibe_Pruefsumme(large);
    EXPECT_EQ(large[0x7FF03], 0x08);
    EXPECT_EQ(large[0x7FF10], 0x00);
}

TEST(ColourModes, CopySwapAndNothing) {
    const std::size_t p = 0x1000;
    Bytes base(0x80000, 0);
    for (std::size_t i = 0; i < 768; ++i) {
        base[p + i] = static_cast<std::uint8_t>(i);
        base[p + 0x300 + i] = static_cast<std::uint8_t>(255 - i % 256);
    }
    const Bytes day(base.begin() + p, base.begin() + p + 768), night(base.begin() + p + 0x300, base.begin() + p + 0x600);
    auto dayOf = [&](const Bytes& f) { return Bytes(f.begin() + p, f.begin() + p + 768); };
    auto nightOf = [&](const Bytes& f) { return Bytes(f.begin() + p + 0x300, f.begin() + p + 0x600); };

    Bytes f = base;
    BIN_TagNacht(f, p, ColourMode::Normal);
    EXPECT_EQ(f, base);
    BIN_TagNacht(f, p, ColourMode::AlwaysDay);
    EXPECT_EQ(nightOf(f), day);
    EXPECT_EQ(dayOf(f), day);
    f = base;
    BIN_TagNacht(f, p, ColourMode::AlwaysNight);
    EXPECT_EQ(dayOf(f), night);
    f = base;
    BIN_TagNacht(f, p, ColourMode::Swap);
    EXPECT_EQ(dayOf(f), night);
    EXPECT_EQ(nightOf(f), day);
    BIN_TagNacht(f, p, ColourMode::Swap);
    EXPECT_EQ(f, base);
}

TEST(Rebuild, RecordLoopOnMostlyErasedImage) {
    Bytes flash(kSmallFlashSize, 0xFF);
    for (std::size_t i = 0; i < 56; ++i) flash[0x6000 + i] = static_cast<std::uint8_t>(i);
    Bytes records;
    appendRebuiltRecords(flash, records);
    EXPECT_EQ(records.size(), 60u);  // 32 + 60 + 68 = 160 bytes as a file

    // A full rebuild writes the flash checksum first, which adds its record.
    Bytes dnl = dnlOf({{0x6000, {0xFE, 0xDC, 0x01, 0x23}}});
    BIN_zu_DNL_neu(dnl, flash);
    EXPECT_EQ(dnl.size(), 220u);
    EXPECT_EQ(DNL_lese_Pruefsumme(dnl), DNL_rechne_Pruefsumme(dnl));
    EXPECT_EQ(dnl[2] | dnl[3] << 8, 188);
}

TEST(Rebuild, FullImageEndsShortOfTheTop) {
    Bytes flash(kSmallFlashSize, 0x00);
    Bytes records;
    appendRebuiltRecords(flash, records);
    ASSERT_EQ(records.size() % 60, 0u);
    const std::size_t last = records.size() - 60;
    EXPECT_EQ(records[last] << 16 | records[last + 1] << 8 | records[last + 2], 0x7FFB0);
    for (std::size_t r = 0; r < records.size(); r += 60) EXPECT_EQ(records[r + 3], 0x38);
}

TEST(Rebuild, ErasedRunsEvenAreLeftOutOddKeepOneByte) {
    // Record at 0x6000 (56 bytes), then 4 erased bytes, data, 3 erased bytes, data.
    Bytes flash(kSmallFlashSize, 0xFF);
    std::fill_n(flash.begin() + 0x6000, 56, 0x01);
    std::fill_n(flash.begin() + 0x6000 + 56 + 4, 56, 0x02);
    std::fill_n(flash.begin() + 0x6000 + 56 + 4 + 56 + 3, 56, 0x03);
    Bytes records;
    appendRebuiltRecords(flash, records);
    ASSERT_GE(records.size(), 180u);
    auto address = [&](std::size_t r) { return records[r * 60] << 16 | records[r * 60 + 1] << 8 | records[r * 60 + 2]; };
    EXPECT_EQ(address(0), 0x6000);
    EXPECT_EQ(address(1), 0x6000 + 56 + 4);
    EXPECT_EQ(address(2), 0x6000 + 56 + 4 + 56 + 2);  // one 0xFF byte kept in front
    EXPECT_EQ(records[2 * 60 + 4], 0xFF);
    EXPECT_EQ(records[2 * 60 + 5], 0x03);
}

TEST(FlashChecksum, MatchesAPlainByteSumOnVariedContent) {
    for (std::size_t size : {kSmallFlashSize, kLargeFlashSize}) {
        Bytes flash(size);
        std::uint32_t x = 12345, plain = 63240;
        for (std::size_t i = 0; i < size; ++i) {
            x = x * 1103515245u + 12345u;
            flash[i] = static_cast<std::uint8_t>(x >> 24);
            if (i < 0x7FF00 || i >= 0x80000) plain += flash[i];
        }
        EXPECT_EQ(BIN_rechne_Pruefsumme(flash), plain);
    }
}
