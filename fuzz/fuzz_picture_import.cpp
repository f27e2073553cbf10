// BMP bytes through the picture loader into the start image editor's import, as a dropped
// or opened file takes them. The loader must never read outside the bytes and must refuse
// or decode; a decoded picture has the size its header names, and the import either takes
// it (a start image or logo of at most 256 colours) or refuses it and keeps the editor as
// it was.
//
// Input: byte 0 selects the editor's set-up (bit 0: DSP logo support), the rest is the file.

#include "graphics/start_image_editor.hpp"
#include "workspace/picture_file.hpp"

#include <cstdlib>

using namespace zarvelo;

namespace {

StartImageEditor takenOver(bool dsp) {
    EditorInputs in;
    in.availableCount = 40;
    for (int i = 0; i < 40; ++i) in.availableEntries[static_cast<std::size_t>(i * 3)] = true;
    in.dspLogoSupported = dsp;
    in.imageDataSize = 2000;
    in.startPicture = RgbImage(kStartImageWidth, kStartImageHeight, Rgb{10, 20, 30});
    for (int x = 0; x < 50; ++x) in.startPicture.set(x, 7, Rgb{200, 100, 0});
    if (dsp) in.dspPicture = RgbImage(kDspLogoWidth, kDspLogoHeight, Rgb{255, 255, 0});
    StartImageEditor editor;
    editor.Zeige_vorhandene_Bilder_an(in);
    return editor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const StartImageEditor withDsp = takenOver(true), withoutDsp = takenOver(false);
    const bool dsp = data[0] & 1;
    const Result<RgbImage> loaded = decodeBmp(ByteView(data + 1, size - 1));
    if (!loaded.ok()) {
        if (loaded.message().empty()) std::abort();
        return 0;
    }
    const RgbImage& p = loaded.value();
    if (p.width <= 0 || p.height <= 0 || p.rgb.size() != static_cast<std::size_t>(p.width) * p.height * 3) std::abort();

    StartImageEditor editor = dsp ? withDsp : withoutDsp;
    const ImportOutcome outcome = editor.importPicture(p);
    switch (outcome.kind) {
        case ImportKind::Nothing:
            if (outcome.message.empty() || !(editor.O == (dsp ? withDsp : withoutDsp).O)) std::abort();
            break;
        case ImportKind::StartImage:
            if (editor.pictureLeft != p || editor.AKT.count < 1 || editor.AKT.count > editor.availableCount) std::abort();
            break;
        case ImportKind::DspLogo:
            if (!dsp || editor.dspLeft != p || !(editor.O == withDsp.O)) std::abort();
            break;
    }
    return 0;
}
