#pragma once
// The German messages of photo files; the file name goes in front of each
// (msg::pictureFileUnreadable).

#include <string>

namespace zarvelo::msg {

inline constexpr const char* kPhotoFileTooLarge = "Die Datei ist zu groß.";
inline constexpr const char* kPhotoFileEmpty = "Die Datei ist leer.";
inline constexpr const char* kPhotoFileMissing = "Die Datei gibt es nicht.";
inline constexpr const char* kPhotoUnknownFormat =
    "Das Dateiformat ist unbekannt; gelesen werden PNG, JPEG, BMP, GIF, WebP und TIFF.";
inline constexpr const char* kPhotoNoPixels = "Das Bild hat keine Pixel.";
inline constexpr const char* kPhotoDamaged = "Die Bilddaten sind beschädigt oder unvollständig.";
inline constexpr const char* kPhotoUnsupported = "Diese Art von Grafik wird nicht unterstützt.";

inline std::string photoTooManyPixels(int width, int height, long long maxMegapixels) {
    return "Das Bild ist mit " + std::to_string(width) + " x " + std::to_string(height) + " Pixeln zu groß (höchstens " +
           std::to_string(maxMegapixels) + " Megapixel).";
}

}  // namespace zarvelo::msg
