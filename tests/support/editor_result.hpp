#pragma once
// What the start image editor writes, read back as the unit shows it: AKT encoded into the
// image data size, decoded again and drawn with the combined palette.

#include "graphics/encoder.hpp"
#include "graphics/start_image.hpp"
#include "graphics/start_image_editor.hpp"

#include <optional>

namespace zarvelo::synth {

struct EditorResult {
    Bytes code;      // exactly the image data size
    RgbImage shown;  // the decoded start image in the combined palette's colours
};

// What an import made of a picture; nothing when it was refused.
inline std::optional<ImportKind> importedAs(const Result<ImportKind>& imported) {
    return imported.ok() ? std::optional<ImportKind>(imported.value()) : std::nullopt;
}

inline std::optional<EditorResult> editorResult(const StartImageEditor& editor) {
    auto code = NEU_berechne_Bild(editor.AKT.index, editor.imageDataSize);
    if (!code) return std::nullopt;
    std::vector<std::uint8_t> indices;
    const StartImageInfo info = BIN_lese_Startbild(*code, 0, editor.combinedPalette(), indices);
    if (!info.complete || info.imageDataSize != code->size()) return std::nullopt;
    return EditorResult{std::move(*code), renderStartImage(indices, editor.combinedPalette(), -1)};
}

}  // namespace zarvelo::synth
