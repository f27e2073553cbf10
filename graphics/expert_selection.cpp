#include "graphics/expert_selection.hpp"

#include <algorithm>

namespace zarvelo {

int selectionEntryAt(int x, int y) {
    x = std::clamp(x, 0, 207);
    y = std::clamp(y, 0, 207);
    return 16 * (y / 13) + x / 13;
}

bool I_Palette_U10MouseDown(EntrySelection& selection, int entry, bool rowMode) {
    if (entry < 0 || entry > 255) return false;
    const bool adding = !selection.flags[static_cast<std::size_t>(entry)];
    if (adding && ((rowMode && selection.count > 112) || selection.count >= kMaxSelectedEntries)) return false;
    if (!adding && ((rowMode && selection.count < 17) || selection.count < 2)) return false;
    const int first = rowMode ? entry / 16 * 16 : entry;
    const int last = rowMode ? first + 15 : entry;
    for (int e = first; e <= last; ++e) {
        bool& flag = selection.flags[static_cast<std::size_t>(e)];
        if (flag != adding) selection.count += adding ? 1 : -1;
        flag = adding;
    }
    return true;
}

}  // namespace zarvelo
