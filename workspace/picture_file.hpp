#pragma once
// Pictures for the start image editor, read from BMP files. One loader serves the editor's
// "BILD-DATEI LADEN", drops on the editor window and zarvelo-cli import-image, so a picture
// is refused or accepted alike everywhere.
//
// The BMP bytes are decoded here rather than by the toolkit: every read goes through the
// bounds-checked reader, a file whose pixel data is shorter than its header says is refused
// instead of coming in with black rows, and 5- and 6-bit colour fields are widened by bit
// replication, so 16-bit pictures keep exact colours (0xF800 is pure red 255, 0, 0).

#include "flash/bytes.hpp"
#include "flash/result.hpp"
#include "graphics/rgb_image.hpp"

#include <string>

namespace zarvelo {

// The file dialogs' filter for pictures, wherever the program opens or saves one.
inline constexpr const char* kPictureFilter = "Grafik-Dateien (*.BMP)|*.BMP";

// Largest BMP file read, and the most pixels a picture may have (any size is decoded, so
// the editor can name the size it needs; this only keeps memory bounded).
inline constexpr std::size_t kMaxPictureFileSize = 64u << 20;
inline constexpr std::size_t kMaxPicturePixels = 1u << 25;

// Decodes a BMP file held in memory: Windows headers (40 to 124 bytes) and OS/2 core
// headers; 1, 4 and 8 bit indexed, RLE4 and RLE8, 16 bit (555, 565 and bit fields),
// 24 bit and 32 bit (plain and bit fields), bottom-up and top-down. The picture has 24 bits
// per pixel, rows top-down.
Result<RgbImage> decodeBmp(ByteView bytes);

// Reads the file and decodes it; a refusal's message names the file.
Result<RgbImage> loadPictureFile(const std::string& path);

// A 24-bit bottom-up BMP file (40-byte header) of the picture.
Bytes encodeBmp24(const RgbImage& picture);

// Writes the picture as such a file, completely or not at all (a failure carries the
// system's error text). Every picture the program saves goes this way.
Status writeBmpFile(const std::string& path, const RgbImage& picture);

}  // namespace zarvelo
