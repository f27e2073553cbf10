#pragma once
// The program's own German messages of the palettes, pictures and grid lines.

#include <array>
#include <string>

namespace zarvelo::msg {

// --- a picture taken into the start image editor ---
inline constexpr const char* kTooManyColours =
    "Das Bild hat mehr als 256 Farben und wird von dieser Anwendung nicht unterstützt.";
inline constexpr const char* kNoDspLogoSupport = "Diese Navi-Version unterstützt kein DSP-Logo.";
inline constexpr const char* kWrongPictureSize =
    "Das Bild hat nicht die erforderliche Größe.\n\r\r"
    "        Startbild: 320 x 234 Pixel\n\r"
    "        DSP-Logo:  79 x  20 Pixel";

// What lies outside a flash image cut short.
inline constexpr const char* kPalettesOutside = "Die Farbpaletten liegen außerhalb des Flash-Abbilds.";
inline constexpr const char* kDspLogoOutsideImage = "Das DSP-Logo liegt außerhalb des Flash-Abbilds.";

// --- the start image editor's result written into the flash image ---
inline constexpr const char* kInvalidStartImageSpace =
    "Der Speicherplatz des vorhandenen Startbildes ist ungültig, das Bild passt nicht hinein.";
// Each reason why "Daten übernehmen" writes nothing follows this.
inline constexpr const char* kStartImageNotWritten = "Das neue Startbild wird nicht geschrieben: ";
inline const std::string kNoStartImageHeader =
    std::string(kStartImageNotWritten) +
    "In dieser Datei wurde kein Startbild gefunden (die Kennung 01 40 00 EA fehlt). Es würde unbekannte Daten der "
    "Firmware überschreiben.";
inline const std::string kBadStartImageSpace = std::string(kStartImageNotWritten) + kInvalidStartImageSpace;
inline const std::string kNoAvailableEntries =
    std::string(kStartImageNotWritten) + "Es steht kein Paletteneintrag für seine Farben zur Verfügung.";
inline const std::string kPalettesOutsideForStartImage = std::string(kStartImageNotWritten) + kPalettesOutside;
inline const std::string kNoFittedDspLogo =
    std::string(kStartImageNotWritten) + "Es ist kein DSP-Logo mit 79 x 20 Pixeln vorhanden.";
inline const std::string kDspLogoOutside = std::string(kStartImageNotWritten) + kDspLogoOutsideImage;

// --- palettes and grid lines in the flash image ---
inline const std::string kPalettesNotRead = std::string("Die Farbpaletten können nicht gelesen werden: ") + kPalettesOutside;
inline const std::string kColourNotWritten = std::string("Die Farbe wird nicht geschrieben: ") + kPalettesOutside;
inline const std::string kDayNightNotFixed =
    std::string("Tag- und Nachtpalette werden nicht angeglichen: ") + kPalettesOutside;
inline const std::string kDspLogoNotRead = std::string("Das DSP-Logo kann nicht gelesen werden: ") + kDspLogoOutsideImage;
inline constexpr const char* kNoGridPatch = "Diese Softwareversion hat keine Gitterlinien.";
inline constexpr const char* kGridOutside =
    "Die Gitterlinien werden nicht umgeschaltet: Die Gitterdaten liegen außerhalb des Flash-Abbilds.";

// --- fitting a picture into the firmware's space ---
inline constexpr const char* kFitNoEntries = "Für das Bild steht kein Paletteneintrag zur Verfügung.";
inline constexpr const char* kFitTooManyEntries = "Ein Bild kann höchstens 256 Paletteneinträge verwenden.";
inline constexpr const char* kFitNotStartImageSize = "Das Bild hat nicht die Größe des Startbildes (320 x 234 Pixel).";
inline constexpr const char* kFitNotDspLogoSize = "Das Bild hat nicht die Größe des DSP-Logos (79 x 20 Pixel).";
inline constexpr const char* kFitSpaceTooSmall =
    "Der Speicherplatz des vorhandenen Startbildes ist zu klein: Selbst ein Bild aus einer Farbe braucht 936 Bytes.";

// --- the DSP logo's colour report: each text is followed by its number ---
inline constexpr std::array<const char*, 7> kDspReportTexts = {
    "Anzahl Farben Startbild:          ", "Anzahl Farben DSP-Logo:           ",
    "Summe Farben:                     ", "davon Identisch:                  ",
    "theoretisch erf. Farbanzahl:      ", "max. erf. Farbdifferenz DSP-Logo: ",
    "Insgesamt verwendete Farben:      "};

}  // namespace zarvelo::msg
