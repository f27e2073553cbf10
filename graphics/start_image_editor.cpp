#include "graphics/start_image_editor.hpp"

#include "graphics/encoder.hpp"
#include "graphics/messages.hpp"
#include "graphics/palette_block.hpp"
#include "graphics/palette_strip.hpp"

#include <algorithm>

namespace zarvelo {

void StartImageEditor::Zeige_vorhandene_Bilder_an(const EditorInputs& in) {
    availableCount = in.availableCount;
    availableEntries = in.availableEntries;
    dayPalette = in.dayPalette;
    nightPalette = in.nightPalette;
    dspLogoSupported = in.dspLogoSupported;
    imageDataSize = in.imageDataSize;
    paletteCellWidth = zarvelo::paletteCellWidth(availableCount);

    pictureLeft = in.startPicture;
    takeStartPicture(pictureLeft);
    if (dspLogoSupported) {
        dspLeft = in.dspPicture;
        takeLogoPicture(dspLeft);
    } else {
        dspLeft = {};
        O_DSP = AKT_DSP = {};
        logoMerges_ = {};
        fit = {};
        dspSliderPosition = 0;
    }
    refit();
}

Result<ImportKind> StartImageEditor::importPicture(const RgbImage& picture) {
    const bool empty = picture.width <= 0 || picture.height <= 0;
    if (!empty && START_zaehle_Farben(picture) == 0) return Status::failure(msg::kTooManyColours);
    if (picture.width == kStartImageWidth && picture.height == kStartImageHeight) {
        pictureLeft = picture;
        takeStartPicture(pictureLeft);
        refit();
        return ImportKind::StartImage;
    }
    if (picture.width == kDspLogoWidth && picture.height == kDspLogoHeight) {
        if (!dspLogoSupported) return Status::failure(msg::kNoDspLogoSupport);
        dspLeft = picture;
        takeLogoPicture(dspLeft);
        refit();
        return ImportKind::DspLogo;
    }
    return Status::failure(msg::kWrongPictureSize);
}

void StartImageEditor::takeStartPicture(const RgbImage& picture) {
    // A picture with too many colours never gets here (import check; the main page draws
    // from a 256-entry palette); an empty set keeps the editor from writing anything.
    O = OriginalBild_FarbPal(picture).value_or(ColourSet{});
    startMerges_ = MergeSequence::compute(O);
    fitMerges_ = mergesToFit(O, startMerges_, imageDataSize);
    maximumPossible = O.count - fitMerges_;
    fitsImageData = O.count > 0 && startMerges_.encodedSizeAfter(O, fitMerges_) <= imageDataSize;
    limitMaxAndResetAkt();
}

void StartImageEditor::takeLogoPicture(const RgbImage& picture) {
    O_DSP = DSP_erstelle_O_Palette(picture).value_or(ColourSet{});
    logoMerges_ = MergeSequence::compute(O_DSP);
    AKT_DSP = O_DSP;
    dspSliderPosition = std::clamp(AKT_DSP.count, 1, std::max(availableCount, 1));
}

void StartImageEditor::limitMaxAndResetAkt() {
    const int limit = std::max(availableCount, 1);
    const int merges = std::clamp(std::max(fitMerges_, O.count - limit), 0, startMerges_.size());
    MAX = startMerges_.apply(O, merges);
    AKT = MAX;
    startSliderPosition = std::clamp(AKT.count, 1, limit);
}

void StartImageEditor::setAktCount(int count) { AKT = startMerges_.apply(O, O.count - count); }

void StartImageEditor::setLogoCount(int count) { AKT_DSP = logoMerges_.apply(O_DSP, O_DSP.count - count); }

void StartImageEditor::refit() {
    if (dspLogoSupported && O_DSP.count > 0) fit = optimiere_Palette_fuer_DSP(AKT, AKT_DSP, availableCount);
}

SliderOutcome StartImageEditor::TB_StartbildChange(int position) {
    const SliderOutcome out = zarvelo::TB_StartbildChange(AKT.count, MAX.count, availableCount, position);
    if (out.changed) {
        setAktCount(out.count);
        refit();
    }
    startSliderPosition = out.position;
    return out;
}

SliderOutcome StartImageEditor::TB_DSPChange(int position) {
    if (!dspLogoSupported || O_DSP.count == 0) return {false, AKT_DSP.count, dspSliderPosition};
    const SliderOutcome out = zarvelo::TB_DSPChange(AKT_DSP.count, O_DSP.count, availableCount, position);
    if (out.changed) {
        setLogoCount(out.count);
        refit();
    }
    dspSliderPosition = out.position;
    return out;
}

void StartImageEditor::reduceLogoTo(int colours) {
    if (!dspLogoSupported || O_DSP.count == 0) return;
    setLogoCount(std::clamp(colours, 1, O_DSP.count));
    refit();
    dspSliderPosition = std::clamp(AKT_DSP.count, 1, std::max(availableCount, 1));
}

void StartImageEditor::applyEntrySelection(const EntrySelection& selection) {
    availableEntries = selection.flags;
    availableCount = selection.count;
    paletteCellWidth = zarvelo::paletteCellWidth(availableCount);
    // MAX depends on O and the image data size before the limit, so only the limit changes.
    limitMaxAndResetAkt();
    if (dspLogoSupported) takeLogoPicture(dspLeft);
    refit();
}

Status StartImageEditor::NEU_schreibe_in_BIN(Bytes& flash, const FlashTarget& target) const {
    if (!target.startImageHeaderFound) return Status::failure(msg::kNoStartImageHeader);
    const std::vector<std::uint8_t> list = Setze_MaxColor(availableEntries).list;
    const int total = totalColourCount();
    if (list.empty() || total < 1 || total > static_cast<int>(list.size())) return Status::failure(msg::kNoAvailableEntries);
    const auto code = NEU_berechne_Bild(AKT.index, imageDataSize);
    if (!code) return Status::failure(msg::kBadStartImageSpace);

    // Written into a copy, so a refusal halfway leaves the flash image as it was.
    Bytes out = flash;
    if (Status s = NEU_zu_BIN(out, target.startImageOffset, *code, list, combinedPalette(), total, target.paletteOffset);
        !s.ok())
        return s;
    if (dspLogoSupported) {
        if (Status s = DSP_zu_BIN(out, target.dspLogoOffset, fit.finalImage, list); !s.ok()) return s;
    }
    flash.swap(out);
    return {};
}

}  // namespace zarvelo
