#include "workspace.hpp"

#include "file_io.hpp"
#include "flash/dnl_file.hpp"
#include "flash/firmware_versions.hpp"
#include "flash/flash_image.hpp"
#include "flash/messages.hpp"

namespace zarvelo {

LoadOutcome Workspace::loadFile(const std::string& path) {
    FileReadResult read = readWholeFile(path, kMaxDnlFileSize, msg::kFileTooLarge);
    if (!read.error.empty()) return {false, read.error, false};
    return loadBytes(std::move(read.bytes), path);
}

LoadOutcome Workspace::loadBytes(Bytes bytes, const std::string& path) {
    // A file without a complete header cannot carry a valid checksum.
    if (bytes.size() < kDnlHeaderSize || DNL_lese_Pruefsumme(bytes) != DNL_rechne_Pruefsumme(bytes))
        return {false, msg::kChecksumError, false};
    const VersionFlags version = DNL_lese_Version(bytes);
    if (version.index < 0) return {false, msg::kUnknownVersion, false};
    if (bytes.size() < kDnlMinimumSize) return {false, msg::kFileTooShort, false};

    UnpackResult unpacked = DNL_zu_BIN(bytes);
    if (!unpacked.flash) return {false, unpacked.error, false};

    // Everything checked: replace the document as a whole.
    dnl = std::move(bytes);
    fileName = path;
    flash = std::move(*unpacked.flash);
    versionIndex = version.index;
    dspLogoSupported = version.dspLogoSupported;
    vwOverlays = version.vwOverlays;
    BIN_zu_Versionstexte();
    markerCorrected = unpacked.markerCorrected;
    fileLoaded = true;
    return {true, {}, unpacked.markerCorrected};
}

void Workspace::rebuildDnl(ColourMode mode) {
    BIN_TagNacht(flash, paletteOffset(), mode);
    BIN_zu_DNL_neu(dnl, flash);
}

SaveOutcome Workspace::saveDnl(const std::string& path, ColourMode mode) {
    rebuildDnl(mode);
    const std::string error = writeFileAtomically(path, dnl);
    return {error.empty(), error};
}

SaveOutcome Workspace::saveBin(const std::string& path) const {
    const std::string error = writeFileAtomically(path, flash);
    return {error.empty(), error};
}

void Workspace::BIN_zu_Versionstexte() {
    infoLines = zarvelo::BIN_zu_Versionstexte(flash, DNL_CheckOriginal(dnl, versionIndex));
}

std::size_t Workspace::paletteOffset() const {
    return static_cast<std::size_t>(firmwareVersion(versionIndex).paletteOffset);
}

TextReadResult Workspace::BIN_zu_TexteArray() const {
    if (!fileLoaded) return {std::nullopt, "Es ist keine DNL-Datei geladen."};
    return zarvelo::BIN_zu_TexteArray(flash, versionIndex);
}

bool Workspace::TexteArray_zu_BIN(const TextList& list) {
    if (!fileLoaded ||
        list.tableOffset() != static_cast<std::size_t>(firmwareVersion(versionIndex).textTableOffset))
        return false;
    return zarvelo::TexteArray_zu_BIN(flash, list);
}

}  // namespace zarvelo
