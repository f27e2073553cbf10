#include "workspace/workspace.hpp"

#include "workspace/file_io.hpp"
#include "workspace/messages.hpp"
#include "flash/dnl_file.hpp"
#include "flash/firmware_versions.hpp"
#include "flash/flash_image.hpp"
#include "flash/messages.hpp"
#include "graphics/start_image.hpp"
#include "texts/messages.hpp"

#include <algorithm>

namespace zarvelo {

Status Workspace::loadFile(const std::string& path) {
    Result<Bytes> read = readWholeFile(path, kMaxDnlFileSize, msg::kFileTooLarge);
    if (!read.ok()) return read.status();
    return loadBytes(std::move(read).value(), path);
}

Status Workspace::loadBytes(Bytes bytes, const std::string& path) {
    // A file without a complete header cannot carry a valid checksum.
    if (bytes.size() < kDnlHeaderSize || DNL_lese_Pruefsumme(bytes) != DNL_rechne_Pruefsumme(bytes))
        return Status::failure(msg::kChecksumError);
    const VersionFlags version = DNL_lese_Version(bytes);
    if (version.index < 0) return Status::failure(msg::kUnknownVersion);
    if (bytes.size() < kDnlMinimumSize) return Status::failure(msg::kFileTooShort);

    Result<UnpackedDnl> unpacked = DNL_zu_BIN(bytes);
    if (!unpacked.ok()) return unpacked.status();

    // Everything checked: replace the document as a whole.
    dnl_ = std::move(bytes);
    fileName_ = path;
    flash_ = std::move(unpacked.value().flash);
    versionIndex_ = version.index;
    dspLogoSupported_ = version.dspLogoSupported;
    vwOverlays_ = version.vwOverlays;
    markerCorrected_ = unpacked->markerCorrected;

    // From here on nothing can fail: decode what the firmware holds.
    fileLoaded_ = true;
    rederive();
    availableEntries_ = usedEntries();
    Setze_MaxColor();
    history_.clear();
    notify(ChangeKind::File, ChangeCause::Load);
    return {};
}

void Workspace::rederive() {
    BIN_pruefe_GitterDa();
    BIN_suche_Boot_Start_Offset();
    BIN_lese_Palette();
    dspPixelCounts_.fill(0);
    dspIndexList_.clear();
    BIN_Lese_DSP();
    BIN_lese_Startbild();
    BIN_zu_Versionstexte();
    Setze_MaxColor();
}

void Workspace::notify(ChangeKind kind, ChangeCause cause) {
    const DocumentChange change{kind, cause};
    // A listener may add another; walk by index.
    for (std::size_t i = 0; i < listeners_.size(); ++i) listeners_[i](change);
}

Status Workspace::applyChange(ChangeKind kind, const std::string& label, const std::function<Status()>& change) {
    if (!fileLoaded_) return Status::failure(msg::kNoFileLoaded);
    const Bytes before = flash_;
    const EntryTable entriesBefore = availableEntries_;
    if (Status refused = change(); !refused.ok()) return refused;
    HistoryStep step;
    step.runs = differingRuns(before, flash_);
    if (availableEntries_ != entriesBefore) step.entries = std::make_pair(entriesBefore, availableEntries_);
    if (!step.runs.empty() || step.entries) {
        step.kind = kind;
        step.label = label;
        if (step.runs.empty()) {
            // Only the choice of entries: nothing a save writes.
            step.kind = ChangeKind::Entries;
            step.label = steplabel::kEntries;
            step.changesSavedState = false;
        }
        history_.push(std::move(step));
    }
    notify(kind, ChangeCause::Apply);
    return {};
}

bool Workspace::undo() { return moveInHistory(false); }
bool Workspace::redo() { return moveInHistory(true); }

bool Workspace::moveInHistory(bool forward) {
    const HistoryStep* step = forward ? history_.stepForward() : history_.stepBack();
    if (!step) return false;
    step->apply(flash_, availableEntries_, forward);
    rederive();
    notify(step->kind, forward ? ChangeCause::Redo : ChangeCause::Undo);
    return true;
}

Workspace::RebuiltFile Workspace::rebuilt(ColourMode mode) const {
    RebuiltFile file{flash_, dnl_};
    BIN_TagNacht(file.flash, paletteOffset(), mode);
    BIN_zu_DNL_neu(file.dnl, file.flash);
    return file;
}

namespace {

// End of the flash range the record stream of a rebuilt file covers (0x6000 when it holds
// no record).
std::size_t rebuiltRecordsEnd(const Bytes& rebuilt) {
    if (rebuilt.size() < kDnlMinimumSize + 4 + kRebuildRecordData) return kFlashRoutineAddress;
    const std::size_t last = rebuilt.size() - kDnlTrailerSize - 4 - kRebuildRecordData;
    return *readBE(rebuilt, last, 3) + kRebuildRecordData;
}

// Reads a written DNL file back as the loader would and checks that it holds what is in
// memory: a valid checksum, a record stream that unpacks to the flash image over the whole
// range the records cover, and otherwise the same bytes.
Status verifyWrittenDnl(const std::string& tempPath, const Bytes& rebuilt, const Bytes& edited) {
    auto refused = [](const char* reason, const std::string& detail = {}) {
        return Status::failure(msg::notVerified(reason, detail));
    };
    Result<Bytes> read = readWholeFile(tempPath, kMaxDnlFileSize, msg::kFileTooLarge);
    if (!read.ok()) return refused(msg::kVerifyUnreadable, read.message());
    Bytes& back = read.value();
    if (back.size() < kDnlMinimumSize || DNL_lese_Pruefsumme(back) != DNL_rechne_Pruefsumme(back))
        return refused(msg::kVerifyChecksum);
    const Result<UnpackedDnl> unpacked = DNL_zu_BIN(back);
    if (!unpacked.ok()) return refused(msg::kVerifyUnpack, unpacked.message());
    const Bytes& image = unpacked->flash;
    const std::size_t end = rebuiltRecordsEnd(rebuilt);
    if (end > image.size() || end > edited.size() ||
        !std::equal(edited.begin() + kFlashRoutineAddress, edited.begin() + static_cast<std::ptrdiff_t>(end),
                    image.begin() + kFlashRoutineAddress))
        return refused(msg::kVerifyFlashDiffers);
    // Header, trailer and the bytes no record reaches.
    if (back != rebuilt) return refused(msg::kVerifyBytesDiffer);
    return {};
}

}  // namespace

Status Workspace::saveDnl(const std::string& path, ColourMode mode) {
    // Work on copies: a save that fails must not leave a colour mode or a rebuild behind,
    // or a second attempt would swap the palettes back or write lost night colours.
    RebuiltFile file = rebuilt(mode);
    Bytes& newFlash = file.flash;
    Bytes& newDnl = file.dnl;
    Status written = writeFileAtomically(path, newDnl, [&](const std::string& tempPath) {
        if (afterDnlWritten) afterDnlWritten(tempPath);
        return verifyWrittenDnl(tempPath, newDnl, newFlash);
    });
    if (!written.ok()) return written;
    // The colour mode is part of the document now: a step of its own, before the saved
    // position, so an undo takes it back and marks the document modified. The fresh flash
    // checksum alone belongs to the step that led here.
    // The colour mode writes into the palette block only, the checksum lies far behind it.
    const std::size_t block = paletteOffset(), blockEnd = block + kNightPaletteDistance + kPaletteBytes;
    const bool colourModeWritten = blockEnd <= flash_.size() &&
                                   !std::equal(flash_.begin() + static_cast<std::ptrdiff_t>(block),
                                               flash_.begin() + static_cast<std::ptrdiff_t>(blockEnd),
                                               newFlash.begin() + static_cast<std::ptrdiff_t>(block));
    std::vector<FlashRun> runs = differingRuns(flash_, newFlash);
    if (!runs.empty() && (colourModeWritten || !history_.amendLast(runs))) {
        HistoryStep step;
        step.kind = colourModeWritten ? ChangeKind::ColourMode : ChangeKind::Palettes;
        step.label = colourModeWritten ? steplabel::kColourMode : steplabel::kChecksum;
        step.runs = std::move(runs);
        history_.push(std::move(step));
    }
    flash_ = std::move(newFlash);
    dnl_ = std::move(newDnl);
    rederive();
    history_.markSaved();
    notify(colourModeWritten ? ChangeKind::ColourMode : ChangeKind::Saved, ChangeCause::Save);
    return {};
}

Status Workspace::saveBin(const std::string& path) const { return writeFileAtomically(path, flash_); }

void Workspace::BIN_zu_Versionstexte() {
    infoLines_ = zarvelo::BIN_zu_Versionstexte(flash_, DNL_CheckOriginal(dnl_, versionIndex_));
}

std::size_t Workspace::paletteOffset() const {
    return static_cast<std::size_t>(firmwareVersion(versionIndex_).paletteOffset);
}

Result<TextList> Workspace::BIN_zu_TexteArray() const {
    if (!fileLoaded_) return Status::failure(msg::kNoFileLoaded);
    return zarvelo::BIN_zu_TexteArray(flash_, versionIndex_);
}

Status Workspace::TexteArray_zu_BIN(const TextList& list) {
    if (!fileLoaded_) return Status::failure(msg::kNoFileLoaded);
    if (list.tableOffset() != static_cast<std::size_t>(firmwareVersion(versionIndex_).textTableOffset))
        return Status::failure(msg::kTextsOfAnotherFile);
    return applyChange(ChangeKind::Texts, steplabel::kTexts, [&] { return zarvelo::TexteArray_zu_BIN(flash_, list); });
}

void Workspace::BIN_lese_Palette() {
    if (versionIndex_ < 1 || versionIndex_ > kVersionCount) return;  // grey ramps until a file is loaded
    // A loaded image holds both palettes: every version keeps them below 0x80000.
    (void)zarvelo::BIN_lese_Palette(flash_, paletteOffset(), dayPalette_, nightPalette_);
}

EntryFlags Workspace::usedEntries() const {
    return zarvelo::usedEntries(startImagePixelCounts_, dspPixelCounts_, dspLogoSupported_);
}

DayNightDiff Workspace::Check_TagNachtDiff() const {
    return zarvelo::Check_TagNachtDiff(dayPalette_, nightPalette_, usedEntries());
}

Status Workspace::P_FixTagNachtClick(bool dayView) {
    return applyChange(ChangeKind::Palettes, steplabel::kDayNight, [&] {
        Status fixed = P_FixTagNacht(flash_, paletteOffset(), dayView, usedEntries());
        if (fixed.ok()) BIN_lese_Palette();
        return fixed;
    });
}

Status Workspace::BIN_schreibe_Farbe(bool dayView, std::uint8_t index, Rgb colour) {
    return applyChange(ChangeKind::Palettes, steplabel::kColour, [&] {
        Status written = BIN_schreibe_Palettenfarbe(flash_, paletteOffset(), !dayView, index, colour);
        if (written.ok()) {
            BIN_lese_Palette();
            BIN_lese_Startbild();
        }
        return written;
    });
}

void Workspace::Setze_MaxColor() {
    AvailableEntries available = zarvelo::Setze_MaxColor(availableEntries_);
    availableCount_ = available.count;
    availableList_ = std::move(available.list);
}

double Workspace::paletteCellWidth(double stripWidth) const {
    return zarvelo::paletteCellWidth(stripWidth, availableCount_);
}

void Workspace::BIN_suche_Boot_Start_Offset() {
    const StartImageLocation location = zarvelo::BIN_suche_Boot_Start_Offset(flash_);
    startImageOffset_ = location.offset;
    startImageHeaderFound_ = location.headerFound;
}

void Workspace::BIN_lese_Startbild() {
    const StartImageInfo info = zarvelo::BIN_lese_Startbild(flash_, startImageOffset_, dayPalette_, startImage_);
    startImagePixelCounts_ = info.pixelCounts;
    imageDataSize_ = info.imageDataSize;
    startImageColourCount_ = info.colourCount;
    startImageComplete_ = info.complete;
}

void Workspace::BIN_Lese_DSP() {
    if (!dspLogoSupported_) return;
    Result<DspLogoInfo> read = zarvelo::BIN_Lese_DSP(
        flash_, static_cast<std::size_t>(firmwareVersion(versionIndex_).dspLogoOffset), dspLogo_);
    // A loaded image holds its logo (all versions keep it below 0x80000); without one nothing is counted.
    DspLogoInfo info = read.ok() ? std::move(read).value() : DspLogoInfo{};
    dspPixelCounts_ = info.pixelCounts;
    dspIndexList_ = std::move(info.indexList);
}

Status Workspace::takeStartImage(const std::function<Status(Bytes& flash)>& write, const EntryTable& entries) {
    return applyChange(ChangeKind::StartImage, steplabel::kStartImage, [&] {
        Status written = write(flash_);
        if (written.ok()) {
            availableEntries_ = entries;
            Setze_MaxColor();
            rereadAfterStartImageEditor();
        }
        return written;
    });
}

void Workspace::rereadAfterStartImageEditor() {
    if (!fileLoaded_) return;
    BIN_lese_Palette();
    BIN_Lese_DSP();
    BIN_lese_Startbild();
}

RgbImage Workspace::startImagePreview(bool dayView, int selected) const {
    return renderStartImage(startImage_, palette(dayView), selected);
}

RgbImage Workspace::dspLogoPreview(bool dayView, int selected) const {
    return renderDspLogo(dspLogo_, palette(dayView), selected);
}

void Workspace::BIN_pruefe_GitterDa() { gridActive_ = gridState() == GridState::Active; }

Status Workspace::BIN_Gitter(bool on) {
    return applyChange(ChangeKind::Grid, on ? steplabel::kGridOn : steplabel::kGridOff, [&] {
        Status written = zarvelo::BIN_Gitter(flash_, firmwareVersion(versionIndex_).gridOffset, on);
        if (written.ok()) gridActive_ = on;
        return written;
    });
}

GridState Workspace::gridState() const {
    if (versionIndex_ < 1 || versionIndex_ > kVersionCount) return GridState::Absent;
    return zarvelo::BIN_pruefe_GitterDa(flash_, firmwareVersion(versionIndex_).gridOffset);
}

}  // namespace zarvelo
