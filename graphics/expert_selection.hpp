#pragma once
// Rules of the expert choice of available palette entries: single entries or whole rows of
// 16 are added or removed, and no click takes the number of entries above 128 or below 1.
// A firmware may come with more than 128 entries in use; then only removing works.

#include <array>

namespace zarvelo {

struct EntrySelection {
    std::array<bool, 256> flags{};
    int count = 0;  // number of set flags; held wider than a byte (256 is possible)
    friend bool operator==(const EntrySelection&, const EntrySelection&) = default;
};

inline constexpr int kMaxSelectedEntries = 128;

// Row mode: exactly Ctrl with the left button, nothing else held.
constexpr bool isRowMode(bool ctrl, bool shift, bool alt, bool leftButton, bool otherButtons) {
    return ctrl && !shift && !alt && leftButton && !otherButtons;
}

// Entry under a pointer position in the 209 x 209 grid (13-pixel pitch, 16 x 16 cells).
int selectionEntryAt(int x, int y);

// A click on `entry`: an unavailable entry (or its row) is added, an available one removed.
// Returns false, changing nothing, when the click is refused (the window beeps).
bool I_Palette_U10MouseDown(EntrySelection& selection, int entry, bool rowMode);

}  // namespace zarvelo
