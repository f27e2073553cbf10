#pragma once
// A 24-bit picture: rows top-down, three bytes red, green, blue per pixel. The core works on
// these and on index images; file formats stay in the front ends.

#include "graphics/palette.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zarvelo {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3 bytes

    RgbImage() = default;
    RgbImage(int w, int h, Rgb fill = {}) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3) {
        for (std::size_t i = 0; i < rgb.size(); i += 3) {
            rgb[i] = fill.r;
            rgb[i + 1] = fill.g;
            rgb[i + 2] = fill.b;
        }
    }
    std::size_t offset(int x, int y) const { return (static_cast<std::size_t>(y) * width + x) * 3; }
    Rgb at(int x, int y) const {
        const std::size_t o = offset(x, y);
        return {rgb[o], rgb[o + 1], rgb[o + 2]};
    }
    void set(int x, int y, Rgb c) {
        const std::size_t o = offset(x, y);
        rgb[o] = c.r;
        rgb[o + 1] = c.g;
        rgb[o + 2] = c.b;
    }
    friend bool operator==(const RgbImage&, const RgbImage&) = default;
};

inline constexpr int kStartImageWidth = 320;
inline constexpr int kStartImageHeight = 234;
inline constexpr int kDspLogoWidth = 79;
inline constexpr int kDspLogoHeight = 20;

}  // namespace zarvelo
