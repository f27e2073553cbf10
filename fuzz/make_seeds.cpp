// Seeds for the fuzz targets: small synthetic DNL files of every version and small BMP
// files, prefixed with the fuzz target's option byte.

#include "synthetic_firmware.hpp"

#include "flash/firmware_versions.hpp"

#include <algorithm>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace zarvelo;


namespace {

void putLE(Bytes& out, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A BMP file: file header, a 40-byte (or OS/2 12-byte) information header, optional masks
// and colour table, then `pixels` as given.
Bytes bmpFile(int width, int height, int bits, std::uint32_t compression, const Bytes& table, const Bytes& pixels,
              bool os2 = false, const std::vector<std::uint32_t>& masks = {}) {
    Bytes info;
    if (os2) {
        putLE(info, 12, 4);
        putLE(info, static_cast<std::uint32_t>(width), 2);
        putLE(info, static_cast<std::uint32_t>(height), 2);
        putLE(info, 1, 2);
        putLE(info, static_cast<std::uint32_t>(bits), 2);
    } else {
        putLE(info, 40, 4);
        putLE(info, static_cast<std::uint32_t>(width), 4);
        putLE(info, static_cast<std::uint32_t>(height), 4);
        putLE(info, 1, 2);
        putLE(info, static_cast<std::uint32_t>(bits), 2);
        putLE(info, compression, 4);
        putLE(info, static_cast<std::uint32_t>(pixels.size()), 4);
        putLE(info, 2835, 4);
        putLE(info, 2835, 4);
        putLE(info, 0, 4);
        putLE(info, 0, 4);
        for (std::uint32_t m : masks) putLE(info, m, 4);
    }
    const std::size_t offset = 14 + info.size() + table.size();
    Bytes file = {'B', 'M'};
    putLE(file, static_cast<std::uint32_t>(offset + pixels.size()), 4);
    putLE(file, 0, 4);
    putLE(file, static_cast<std::uint32_t>(offset), 4);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), table.begin(), table.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

// Rows of `width` pixels padded to four bytes, `value(x, y)` giving each pixel's bytes.
template <class F>
Bytes rows(int width, int height, int bitsPerPixel, F value) {
    Bytes out;
    const std::size_t stride = (static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    for (int y = 0; y < height; ++y) {
        Bytes row;
        value(y, row);
        row.resize(stride, 0);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes greyTable(int n, std::size_t entrySize = 4) {
    Bytes t;
    for (int i = 0; i < n; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / std::max(n - 1, 1));
        t.insert(t.end(), {v, static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(i * 7)});
        if (entrySize == 4) t.push_back(0);
    }
    return t;
}

}  // namespace

static void write(const std::filesystem::path& path, std::uint8_t option, ByteView bytes) {
    std::ofstream out(path, std::ios::binary);
    out.put(static_cast<char>(option));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TARGET DIR\n", argv[0]);
        return 2;
    }
    const std::string target = argv[1];
    const std::filesystem::path dir = argv[2];
    std::filesystem::create_directories(dir);
    if (target == "fuzz_load") {
        for (int v = 1; v <= kVersionCount; ++v) {
            // Small files: a flash routine record, a few data records, the trailer.
            const Bytes dnl = synth::assembleDnl(
                v, {{0x6000, {0xFE, 0xDC, 0x01, 0x23, 0x00, 0x00, 0x70, 0x00}}, {0x7000, Bytes(40, std::uint8_t(v))},
                    {0x7FFF0, Bytes(16, 0x11)}},
                synth::standardTrailer(v % 3 == 0));
            write(dir / ("small_" + std::to_string(v)), static_cast<std::uint8_t>(v % 2), dnl);
        }
        // Small files with an image header and the first rows of a start image behind it
        // (whole samples would slow every execution down).
        for (int v : {2, 9}) {
            Bytes image = {0x01, 0x40, 0x00, 0xEA};
            for (int row = 0; row < 40; ++row)
                image.insert(image.end(), {std::uint8_t(row), 200, std::uint8_t(row + 1), 100, 7, 20});
            std::vector<synth::Record> records = {{0x6000, {0xFE, 0xDC, 0x01, 0x23, 0x00, 0x00, 0x70, 0x00}}};
            for (std::size_t at = 0; at < image.size(); at += 200)
                records.push_back({static_cast<std::uint32_t>(0x7A000 + at),
                                   Bytes(image.begin() + static_cast<std::ptrdiff_t>(at),
                                         image.begin() + static_cast<std::ptrdiff_t>(std::min(image.size(), at + 200)))});
            write(dir / ("image_" + std::to_string(v)), 1, synth::assembleDnl(v, records, synth::standardTrailer()));
        }
    }
    if (target == "fuzz_editor") {
        // Option byte: the target's flags; then image data size, available entries, colour
        // counts, slider positions and pixel material.
        const std::uint8_t flags[] = {1, 0, 5, 2, 9, 17, 5, 1};
        for (int i = 0; i < 8; ++i) {
            Bytes body = {static_cast<std::uint8_t>(i * 53), static_cast<std::uint8_t>(i * 29)};
            for (int k = 0; k < 32; ++k)
                body.push_back(i == 0 ? 0xFF : i == 1 ? (k == 5 ? 0x01 : 0x00) : static_cast<std::uint8_t>(0x11 << (k + i) % 4));
            body.insert(body.end(), {static_cast<std::uint8_t>(i * 37 + 3), static_cast<std::uint8_t>(i * 71), 200,
                                     static_cast<std::uint8_t>(i * 9), 1, 255});
            for (int k = 0; k < 160; ++k) body.push_back(static_cast<std::uint8_t>((k * (i + 3)) ^ (k >> 2)));
            write(dir / ("editor_" + std::to_string(i)), flags[i], body);
        }
    }
    if (target == "fuzz_texts") {
        // Option byte: table offset 0..3; then table length, table and a few stores.
        auto seed = [&](const std::string& name, std::uint8_t offset, const Bytes& table, const Bytes& stores) {
            Bytes body = {static_cast<std::uint8_t>(table.size()), static_cast<std::uint8_t>(table.size() >> 8)};
            body.insert(body.end(), table.begin(), table.end());
            body.insert(body.end(), stores.begin(), stores.end());
            write(dir / name, offset, body);
        };
        // Stores: position (2 bytes), mode bit and length, text.
        const Bytes stores = {0x00, 0x00, 0x06, 'X', 'Y', 'Z', 0x01, 0x00, 0x09, 'W', 'X', 'Y', 'Z',
                              0x01, 0x00, 0x08, 'W', 'X', 'Y', 'Z', 0x02, 0x00, 0x00, 0x00, 0x00, 0x03, 0xE4};
        const Bytes marker = {0x01, 0x01, 0x06, 0x01, 0x01, 0x06, 0x06, 0x06};
        auto withTail = [&](Bytes texts) {
            texts.insert(texts.end(), {0x12, 0x34, 0x00});
            texts.insert(texts.end(), marker.begin(), marker.end());
            return texts;
        };
        seed("examples", 0,
             withTail({0x41, 0x42, 0x00, 0xFF, 0x41, 0x42, 0x01, 0x43, 0x44, 0x00, 0xFF, 0xFF, 0x41, 0x00, 0x00, 0xFF,
                       0xFF, 0x41, 0x42, 0x43, 0x44, 0x45, 0x00, 0xFF, 0xFF}),
             stores);
        seed("empty_first", 1, withTail({0x00, 0xFF, 0xFF, 0xFF, 0x44, 0x45, 0x00, 0x46, 0x00}), stores);
        seed("no_marker", 2, {0x41, 0x00, 0x42, 0x00, 0xFF}, {});
        for (int v = 1; v <= kVersionCount; ++v) {
            // The sample's text table up to just past its end marker.
            const auto sample = synth::makeSample({.version = v});
            const auto from = sample.flash.begin() + firmwareVersion(v).textTableOffset;
            const auto end = std::search(from, sample.flash.end(), marker.begin(), marker.end()) + 8 + 2;
            seed("sample_" + std::to_string(v), static_cast<std::uint8_t>(v % 4), Bytes(from, end), stores);
        }
    }
    if (target == "fuzz_text_import") {
        // Option byte: bit 0 overlong allowed, bits 1..2 the table (1, 3, 6 or 1 texts); then
        // the file in each encoding, line end and form the reader knows, and a few it refuses.
        const std::size_t counts[] = {1, 3, 6, 1};
        const char* texts[] = {"Haus", "A\x01" "B", "Stra\xDF" "e", "Gr\xC3\xBC\xC3\x9F", "\xE4\x80\xFF", "sehr langer Text"};
        for (std::uint8_t table = 0; table < 4; ++table) {
            const std::size_t n = counts[table];
            std::string lf, crlf, tsv = "Nr.\tZeichen ohne \xC3\x9C" "berl\xC3\xA4nge\tZeichen mit \xC3\x9C" "berl\xC3\xA4nge\tText\r\n";
            for (std::size_t k = 0; k < n; ++k) {
                lf += std::string(texts[(k + table) % 6]) + "\n";
                crlf += std::string(texts[(k + table + 1) % 6]) + "\r\n";
                tsv += std::to_string(k + 1) + "\t4\t7\t" + texts[(k + table + 2) % 6] + "\r\n";
            }
            const std::string name = "table" + std::to_string(table);
            for (std::uint8_t mode = 0; mode < 2; ++mode) {
                const auto option = static_cast<std::uint8_t>(table << 1 | mode);
                const auto seed = [&](const std::string& suffix, const std::string& file) {
                    write(dir / (name + "_" + std::to_string(mode) + suffix), option, Bytes(file.begin(), file.end()));
                };
                seed("_lf", lf);
                seed("_crlf", crlf);
                seed("_bom", "\xEF\xBB\xBF" + crlf);
                seed("_tsv", tsv);
                seed("_extra_line", lf + "\n");
            }
        }
        write(dir / "empty", 0, Bytes{});
        write(dir / "nul", 0, Bytes{'A', 0x00, '\n'});
    }
    if (target == "fuzz_picture_import") {
        // Option byte: 1 = DSP logo support; then a small BMP file of each kind the loader reads.
        const Bytes logo24 = rows(79, 20, 24, [](int y, Bytes& r) {
            for (int x = 0; x < 79; ++x) r.insert(r.end(), {static_cast<std::uint8_t>(x * 3), static_cast<std::uint8_t>(y * 12), 90});
        });
        write(dir / "logo_24", 1, bmpFile(79, 20, 24, 0, {}, logo24));
        const Bytes logo8 = rows(79, 20, 8, [](int y, Bytes& r) {
            for (int x = 0; x < 79; ++x) r.push_back(static_cast<std::uint8_t>((x / 8 + y) % 16));
        });
        write(dir / "logo_8", 0, bmpFile(79, 20, 8, 0, greyTable(16), logo8));
        const Bytes logo4 = rows(79, 20, 4, [](int y, Bytes& r) {
            for (int x = 0; x < 79; x += 2) r.push_back(static_cast<std::uint8_t>(((x + y) % 16) << 4 | (y % 16)));
        });
        write(dir / "logo_4", 1, bmpFile(79, 20, 4, 0, greyTable(16), logo4));
        const Bytes logo565 = rows(79, 20, 16, [](int y, Bytes& r) {
            for (int x = 0; x < 79; ++x) putLE(r, static_cast<std::uint32_t>((x % 32) << 11 | (y * 3) << 5 | 31), 2);
        });
        write(dir / "logo_565", 1, bmpFile(79, 20, 16, 3, {}, logo565, false, {0xF800, 0x07E0, 0x001F}));
        const Bytes logo32 = rows(79, 20, 32, [](int y, Bytes& r) {
            for (int x = 0; x < 79; ++x) putLE(r, static_cast<std::uint32_t>(x << 16 | y << 8 | 7), 4);
        });
        write(dir / "logo_32", 1, bmpFile(79, 20, 32, 0, {}, logo32));
        const Bytes mono = rows(16, 4, 1, [](int y, Bytes& r) { r.insert(r.end(), {static_cast<std::uint8_t>(0xA5 ^ y), 0x0F}); });
        write(dir / "os2_1", 0, bmpFile(16, 4, 1, 0, greyTable(2, 3), mono, true));
        // Run-length coded start images: a few runs per row, an absolute run, a delta, the end.
        Bytes rle8, rle4;
        for (int y = 0; y < 234; ++y) {
            rle8.insert(rle8.end(), {200, static_cast<std::uint8_t>(y % 8), 100, static_cast<std::uint8_t>(y % 5 + 8), 0, 4, 1, 2, 3, 4,
                                     20, 9, 0, 0});
            rle4.insert(rle4.end(), {255, static_cast<std::uint8_t>(y % 16 * 17), 45, 0x12, 0, 3, 0x34, 0x50, 20, 0x77, 0, 0});
        }
        rle8.insert(rle8.end(), {0, 2, 5, 1, 0, 1});
        rle4.insert(rle4.end(), {0, 1});
        write(dir / "start_rle8", 1, bmpFile(320, 234, 8, 1, greyTable(16), rle8));
        write(dir / "start_rle4", 0, bmpFile(320, 234, 4, 2, greyTable(16), rle4));
    }
    if (target == "fuzz_fit") {
        // Image data size (3 bytes), entries - 8, flags, then pixel bytes.
        struct Seed {
            const char* name;
            std::uint32_t size;
            int entries;
            std::uint8_t flags;
            Bytes pixels;
        };
        Bytes stripes, ramp;
        for (int i = 0; i < 960; ++i) stripes.push_back(static_cast<std::uint8_t>(i / 48 % 2 ? 220 : 30));
        for (int i = 0; i < 3 * 320; ++i) ramp.push_back(static_cast<std::uint8_t>(i * 7 / 10 + (i % 3) * 40));
        const Seed seeds[] = {
            {"flat_smallest", 936, 1, 0, {40, 90, 200}},
            {"stripes_sample", 10286, 48, 2, stripes},
            {"ramp_fixed", 7714, 29, 4, ramp},
            {"ramp_tight", 3456, 6, 2, ramp},
            {"ramp_widest", 149760, 256, 8 | 2, ramp},
            {"too_small", 934, 29, 0, stripes},
            {"odd", 7715, 29, 0, ramp},
            {"no_entries", 10000, 0, 2, ramp},
            {"wrong_size", 10000, 29, 1 | 2, ramp},
        };
        for (const Seed& seed : seeds) {
            Bytes body = {static_cast<std::uint8_t>(seed.size >> 8), static_cast<std::uint8_t>((seed.size >> 16) & 3),
                          static_cast<std::uint8_t>((seed.entries + 8) & 0xFF), seed.flags};
            body.insert(body.end(), seed.pixels.begin(), seed.pixels.end());
            write(dir / seed.name, static_cast<std::uint8_t>(seed.size), body);
        }
    }
    return 0;
}
