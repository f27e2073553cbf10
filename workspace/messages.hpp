#pragma once
// The workspace's own German messages: pictures read from BMP files and the check of a
// written DNL file.

#include <string>

namespace zarvelo::msg {

// BMP pictures.
inline constexpr const char* kNotBmp = "Die Datei ist keine BMP-Grafik.";
inline constexpr const char* kBmpDamagedHeader = "Der Kopf der BMP-Grafik ist beschädigt.";
inline constexpr const char* kBmpUnsupported = "Diese Art von BMP-Grafik wird nicht unterstützt.";
inline constexpr const char* kBmpTruncated = "Die Bilddaten sind kürzer, als der Kopf der BMP-Grafik angibt.";
inline constexpr const char* kPictureTooLarge = "Die Grafik ist zu groß.";

// A picture file (BMP or photo) that is refused, naming the file and why.
inline std::string pictureFileUnreadable(const std::string& path, const std::string& reason) {
    return "Die Grafik-Datei " + path + " kann nicht gelesen werden: " + reason;
}

// The check of a written DNL file before it replaces the target.
inline constexpr const char* kNotVerified = "Die geschriebene Datei konnte nicht überprüft werden";
inline constexpr const char* kTargetUnchanged = "Die Zieldatei bleibt unverändert.";
inline constexpr const char* kVerifyUnreadable = "sie lässt sich nicht wieder lesen";
inline constexpr const char* kVerifyChecksum = "ihre Prüfsumme stimmt nicht";
inline constexpr const char* kVerifyUnpack = "sie lässt sich nicht entpacken";
inline constexpr const char* kVerifyFlashDiffers = "ihr Flash-Abbild weicht vom bearbeiteten ab";
inline constexpr const char* kVerifyBytesDiffer = "sie weicht von den geschriebenen Daten ab";

// "Die geschriebene Datei konnte nicht überprüft werden: REASON (DETAIL). Die Zieldatei bleibt unverändert."
inline std::string notVerified(const std::string& reason, const std::string& detail = {}) {
    return std::string(kNotVerified) + ": " + reason + (detail.empty() ? "" : " (" + detail + ")") + ". " +
           kTargetUnchanged;
}

}  // namespace zarvelo::msg
