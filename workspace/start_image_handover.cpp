#include "workspace/start_image_handover.hpp"

#include "flash/firmware_versions.hpp"
#include "graphics/messages.hpp"

namespace zarvelo {

EditorInputs editorInputs(const Workspace& ws, bool dayView) {
    EditorInputs in;
    in.availableCount = ws.availableCount();
    in.availableEntries = ws.availableEntries();
    in.dayPalette = ws.dayPalette();
    in.nightPalette = ws.nightPalette();
    in.dspLogoSupported = ws.dspLogoSupported();
    in.imageDataSize = ws.imageDataSize();
    in.startPicture = ws.startImagePreview(dayView);
    if (ws.dspLogoSupported()) in.dspPicture = ws.dspLogoPreview(dayView);
    return in;
}

Status BB_schreibe_NEU_in_BINClick(Workspace& ws, const StartImageEditor& editor) {
    if (!ws.fileLoaded()) return Status::failure(msg::kNoStartImageHeader);
    FlashTarget target;
    target.startImageHeaderFound = ws.startImageHeaderFound();
    target.startImageOffset = ws.startImageOffset();
    target.paletteOffset = ws.paletteOffset();
    const std::int32_t dspOffset = firmwareVersion(ws.versionIndex()).dspLogoOffset;
    target.dspLogoOffset = dspOffset > 0 ? static_cast<std::size_t>(dspOffset) : 0;
    if (editor.dspLogoSupported != ws.dspLogoSupported()) return Status::failure(msg::kBadStartImageSpace);

    return ws.takeStartImage([&](Bytes& flash) { return editor.NEU_schreibe_in_BIN(flash, target); },
                             editor.availableEntries);
}

}  // namespace zarvelo
