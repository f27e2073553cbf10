#pragma once
// The start image editor meets the workspace twice: it takes over the main page's pictures,
// palettes and available entries, and "Daten übernehmen" writes its result into the flash
// image and hands the available entries back.

#include "workspace/workspace.hpp"
#include "graphics/start_image_editor.hpp"
#include "flash/result.hpp"

#include <string>

namespace zarvelo {

// What the editor copies at take-over: the pictures as the main page shows them in its
// day or night view.
EditorInputs editorInputs(const Workspace& ws, bool dayView = true);

// Writes run pairs, palette entries and DSP logo into the flash image, hands the available
// entries back, re-reads palettes and pictures and records it all as one step. A failure's
// German message leaves the workspace unchanged (no image header found, no usable space or
// entries).
Status BB_schreibe_NEU_in_BINClick(Workspace& ws, const StartImageEditor& editor);

}  // namespace zarvelo
