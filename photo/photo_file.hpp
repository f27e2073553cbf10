#pragma once
// Photos of any common format for the start image editor's "FOTO ANPASSEN" and
// zarvelo-cli import-image --fit: PNG, JPEG, BMP, GIF (first frame), WebP and TIFF, read by
// the toolkit's image readers with the EXIF orientation applied. Hostile files are refused
// by their size before anything is decoded; every refusal is German and names the file.

#include "flash/result.hpp"
#include "graphics/photo_scale.hpp"

#include <cstddef>
#include <string>

namespace zarvelo {

// Largest photo file read, and the most pixels a photo may have (a 50-megapixel camera
// picture fits; the decoded picture then takes at most 200 MB).
inline constexpr std::size_t kMaxPhotoFileSize = 256u << 20;
inline constexpr long long kMaxPhotoPixels = 50'000'000;

// Reads and decodes a photo file; a refusal's message names the file. Transparency is kept
// in the photo's alpha bytes, so the background colour can change afterwards (Photo::over,
// scalePhoto).
Result<Photo> loadPhotoFile(const std::string& path);

// The open dialog's filter for photos ("Beschreibung (*.EXT ...)|*.EXT;...").
const char* photoFileFilter();

}  // namespace zarvelo
