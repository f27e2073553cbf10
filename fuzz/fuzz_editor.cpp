// Random pictures, available entries, image data sizes and slider moves through the start
// image editor, from colour set to encoder. What is written must decode to AKT in the
// combined palette's colours with the same image data size, and nothing outside the run
// pairs, the available palette entries and the DSP logo may change.
//
// Input: byte 0 flags (1 DSP logo, 2 no image header, 4 import a logo, 8 raw image data size,
// 16 a picture of too many colours), bytes 1-2 image data size, 3-34 available entries,
// 35 start picture colours, 36 logo colours, 37-40 slider positions; the rest paints pixels.

#include "graphics/messages.hpp"
#include "graphics/palette_block.hpp"
#include "graphics/start_image.hpp"
#include "graphics/start_image_editor.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

using namespace zarvelo;

namespace {

constexpr std::size_t kFlashSize = 0x32000, kHeader = 0x1000, kStart = kHeader + 4, kPalette = 0x30000, kLogo = 0x31000;

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t at(std::size_t i) const { return size ? data[i % size] : 0; }
};

// Runs of colours drawn from the input, cycling through it until the picture is full.
RgbImage editorFuzzPaint(const Input& in, std::size_t from, int width, int height, int colours) {
    std::array<Rgb, 256> palette{};
    for (int k = 0; k < colours; ++k)
        palette[static_cast<std::size_t>(k)] = {in.at(3 * static_cast<std::size_t>(k) + 7), static_cast<std::uint8_t>(k * 37),
                                                static_cast<std::uint8_t>(k)};
    RgbImage img(width, height);
    std::uint8_t* out = img.rgb.data();
    std::uint8_t* const end = out + img.rgb.size();
    for (std::size_t i = from; out < end; i += 2) {
        const Rgb c = palette[static_cast<std::size_t>(in.at(i) % colours)];
        for (std::size_t r = 1 + in.at(i + 1) % 48; r > 0 && out < end; --r) {
            *out++ = c.r;
            *out++ = c.g;
            *out++ = c.b;
        }
    }
    return img;
}

// Firmware-like filler around the places the editor writes; made once, copied for each run.
const Bytes& editorFuzzFlash() {
    static const Bytes flash = [] {
        Bytes f(kFlashSize);
        for (std::size_t i = 0; i < f.size(); ++i) f[i] = static_cast<std::uint8_t>(i * 131 >> 3);
        return f;
    }();
    return flash;
}

// Nothing outside the run pairs, the available entries and the logo: blank those out in both
// images and compare the rest.
void editorFuzzCheckUnchangedOutside(const StartImageEditor& ed, const Bytes& flash, const Bytes& original,
                                     std::size_t imageDataSize, bool dsp) {
    Bytes rest = flash, restBefore = original;
    auto blank = [&](std::size_t from, std::size_t n) {
        std::fill_n(rest.begin() + static_cast<std::ptrdiff_t>(from), n, 0);
        std::fill_n(restBefore.begin() + static_cast<std::ptrdiff_t>(from), n, 0);
    };
    blank(kStart, imageDataSize);
    for (std::size_t e = 0; e < 256; ++e)
        if (ed.availableEntries[e]) {
            blank(kPalette + 3 * e, 3);
            blank(kPalette + 0x300 + 3 * e, 3);
        }
    if (dsp) blank(kLogo, 1580);
    if (rest != restBefore) std::abort();
}

// The written start image decodes to AKT in the combined palette's colours, day and night,
// with the same image data size; the logo shows its final colours.
void editorFuzzCheckDecodes(const StartImageEditor& ed, const Bytes& flash, std::size_t imageDataSize, bool dsp) {
    Palette day{}, night{};
    if (!BIN_lese_Palette(flash, kPalette, day, night).ok()) std::abort();
    std::vector<std::uint8_t> indices;
    const StartImageInfo info = BIN_lese_Startbild(flash, kStart, day, indices);
    if (info.imageDataSize != imageDataSize || !info.complete) std::abort();
    const Palette& combined = ed.combinedPalette();
    for (std::size_t p = 0; p < indices.size(); ++p) {
        const Rgb want = combined[ed.AKT.index[p]];
        if (day[indices[p]] != want || night[indices[p]] != want) std::abort();
    }
    if (dsp)
        for (std::size_t p = 0; p < 1580; ++p)
            if (day[flash[kLogo + p]] != combined[ed.fit.finalImage[p]]) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Input in{data, size};
    const std::uint8_t flags = in.at(0);
    const bool dsp = flags & 1, headerFound = !(flags & 2);
    const unsigned sizeWord = in.at(1) | in.at(2) << 8;
    const std::size_t imageDataSize = flags & 8 ? sizeWord * 3 : 936 + 2 * (sizeWord * 37 % 74413);

    EditorInputs inputs;
    for (int e = 0; e < 256; ++e)
        if (in.at(3 + static_cast<std::size_t>(e / 8)) >> (e % 8) & 1) {
            inputs.availableEntries[static_cast<std::size_t>(e)] = true;
            ++inputs.availableCount;
        }
    for (int e = 0; e < 256; ++e) {
        inputs.dayPalette[static_cast<std::size_t>(e)] = {static_cast<std::uint8_t>(e), 1, 2};
        inputs.nightPalette[static_cast<std::size_t>(e)] = {3, static_cast<std::uint8_t>(e), 4};
    }
    inputs.dspLogoSupported = dsp;
    inputs.imageDataSize = imageDataSize;
    inputs.startPicture = editorFuzzPaint(in, 41, 320, 234, 1 + in.at(35) % 6);
    if (dsp) inputs.dspPicture = editorFuzzPaint(in, 43, 79, 20, 1 + in.at(36) % 4);

    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(inputs);

    RgbImage picture = editorFuzzPaint(in, 41, 320, 234, 1 + in.at(35));
    if (flags & 16)
        for (int p = 0; p < 300; ++p) picture.set(p, 0, {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8), 99});
    const ColourSet before = ed.O;
    const Result<ImportKind> imported = ed.importPicture(picture);
    if (flags & 16) {  // 257 colours or more: refused, nothing changes
        if (imported.ok() || imported.message() != msg::kTooManyColours || !(ed.O == before)) std::abort();
    } else if (!imported.ok() || imported.value() != ImportKind::StartImage) {
        std::abort();
    }
    if (flags & 4) {
        const Result<ImportKind> logo = ed.importPicture(editorFuzzPaint(in, 45, 79, 20, 1 + in.at(36)));
        if ((logo.ok() && logo.value() == ImportKind::DspLogo) != dsp) std::abort();
    }
    ed.TB_StartbildChange(in.at(37));
    ed.TB_StartbildChange(in.at(38));
    ed.TB_DSPChange(in.at(39));
    ed.TB_DSPChange(in.at(40));

    const int available = ed.availableCount;
    if (available > 0 && ed.AKT.count > available) std::abort();
    if (ed.fitsImageData && encodedSize(ed.AKT) > imageDataSize) std::abort();
    if (dsp && available > 0 && ed.fit.totalCount > available) std::abort();

    Bytes flash = editorFuzzFlash();
    const Bytes& original = editorFuzzFlash();
    const Status written = ed.NEU_schreibe_in_BIN(flash, {headerFound, kStart, kPalette, kLogo});
    if (!written.ok()) {
        const bool expected = !headerFound || available == 0 || !ed.fitsImageData || imageDataSize % 2 != 0 ||
                              imageDataSize > 149760;
        if (!expected || flash != original) std::abort();
        return 0;
    }
    if (!headerFound || available == 0) std::abort();

    editorFuzzCheckUnchangedOutside(ed, flash, original, imageDataSize, dsp);
    editorFuzzCheckDecodes(ed, flash, imageDataSize, dsp);
    return 0;
}
