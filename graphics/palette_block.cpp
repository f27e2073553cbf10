#include "palette_block.hpp"

#include "graphics/messages.hpp"

namespace zarvelo {

namespace {

bool blockFits(std::size_t size, std::size_t paletteOffset) {
    return paletteOffset <= size && size - paletteOffset >= kPaletteBlockSize;
}

void readPalette(ByteView bytes, Palette& palette) {
    for (std::size_t i = 0; i < 256; ++i) palette[i] = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
}

}  // namespace

Status BIN_lese_Palette(ByteView flash, std::size_t paletteOffset, Palette& day, Palette& night) {
    if (!blockFits(flash.size(), paletteOffset)) return Status::failure(msg::kPalettesNotRead);
    readPalette(flash.subspan(paletteOffset, kPaletteBytes), day);
    readPalette(flash.subspan(paletteOffset + kNightPaletteDistance, kPaletteBytes), night);
    return {};
}

Status BIN_schreibe_Palettenfarbe(Bytes& flash, std::size_t paletteOffset, bool night, std::uint8_t index, Rgb colour) {
    const std::array<std::uint8_t, 3> bytes = {colour.r, colour.g, colour.b};
    if (!blockFits(flash.size(), paletteOffset) ||
        !writeAt(flash, paletteOffset + (night ? kNightPaletteDistance : 0) + 3 * std::size_t{index}, bytes))
        return Status::failure(msg::kColourNotWritten);
    return {};
}

EntryFlags usedEntries(const PixelCounts& startImage, const PixelCounts& dspLogo, bool dspLogoSupported) {
    EntryFlags used{};
    for (std::size_t i = 0; i < 256; ++i) used[i] = startImage[i] > 0 || (dspLogoSupported && dspLogo[i] > 0);
    return used;
}

DayNightDiff Check_TagNachtDiff(const Palette& day, const Palette& night, const EntryFlags& used) {
    bool identical = true, differs = false;
    for (std::size_t i = 0; i < 256; ++i) {
        if (day[i] == night[i]) continue;
        identical = false;
        if (used[i]) differs = true;
    }
    if (identical) return DayNightDiff::Identical;
    return differs ? DayNightDiff::Differs : DayNightDiff::None;
}

Status P_FixTagNacht(Bytes& flash, std::size_t paletteOffset, bool dayView, const EntryFlags& used) {
    if (!blockFits(flash.size(), paletteOffset)) return Status::failure(msg::kDayNightNotFixed);
    const std::size_t source = paletteOffset + (dayView ? 0 : kNightPaletteDistance);
    const std::size_t target = paletteOffset + (dayView ? kNightPaletteDistance : 0);
    for (std::size_t i = 0; i < 256; ++i)
        if (used[i])
            for (std::size_t k = 0; k < 3; ++k) flash[target + 3 * i + k] = flash[source + 3 * i + k];
    return {};
}

AvailableEntries Setze_MaxColor(const EntryFlags& available) {
    AvailableEntries result;
    for (std::size_t i = 0; i < 256; ++i)
        if (available[i]) result.list.push_back(static_cast<std::uint8_t>(i));
    result.count = static_cast<int>(result.list.size());
    return result;
}

double paletteCellWidth(double stripWidth, int availableCount) {
    return availableCount > 0 ? stripWidth / availableCount : 0.0;
}

}  // namespace zarvelo
