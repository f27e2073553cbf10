#pragma once
// Pictures for the start image editor's tests, benchmarks and fuzz seeds.

#include "graphics/rgb_image.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace zarvelo::synth {

// A 320 x 234 picture like a photo reduced to `colours` colours (2..256, all of them used):
// smooth shading with noise, so neighbours are similar and runs are short.
inline RgbImage photoPicture(std::uint32_t seed, int colours = 256) {
    std::mt19937 rng(seed);
    std::vector<Rgb> palette;  // distinct: red rises with the entry
    for (int i = 0; i < colours; ++i) {
        const int t = i * 255 / std::max(colours - 1, 1);
        palette.push_back({static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(255 - t / 2),
                           static_cast<std::uint8_t>((t * t) / 255 ^ (i & 7))});
    }
    RgbImage img(kStartImageWidth, kStartImageHeight);
    std::uniform_int_distribution<int> noise(-7, 7);
    const double fx = 19 + seed % 7, fy = 13 + seed % 5;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const double v = 0.5 + 0.45 * std::sin(x / fx + seed) * std::cos(y / fy);
            const int i = std::clamp(static_cast<int>(v * (colours - 1)) + noise(rng) * colours / 256, 0, colours - 1);
            img.set(x, y, palette[static_cast<std::size_t>(i)]);
        }
    for (int i = 0; i < colours; ++i) img.set(i % img.width, 117 + i / img.width, palette[static_cast<std::size_t>(i)]);
    return img;
}

// A 320 x 234 picture in full 24-bit colour like a scaled photograph: a sky gradient over
// shaded ground with thin bright stalks, and fine noise everywhere.
inline RgbImage photoLikePicture(std::uint32_t seed = 11) {
    RgbImage img(kStartImageWidth, kStartImageHeight);
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0, 6);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const bool sky = y < 90 + 20 * std::sin(x / 37.0 + seed);
            const double t = std::sin(x / 23.0) * std::cos(y / 17.0);
            const double r = sky ? 90 + y : 120 + 60 * t, g = sky ? 140 + y / 2 : 100 + 50 * t + (x % 40 < 3 ? 60 : 0),
                         b = sky ? 220 - y / 3 : 60 + 20 * t;
            auto px = [&](double v) { return static_cast<std::uint8_t>(std::clamp(v + noise(rng), 0.0, 255.0)); };
            img.set(x, y, {px(r), px(g), px(b)});
        }
    return img;
}

// A small picture of random colours drawn from a coarse grid (so colour differences tie
// often) in runs of random length.
inline RgbImage randomPicture(std::mt19937& rng, int width, int height, int colours) {
    std::vector<Rgb> palette;
    std::uniform_int_distribution<int> grid(0, 12);
    while (static_cast<int>(palette.size()) < colours) {
        const Rgb c{static_cast<std::uint8_t>(grid(rng) * 20), static_cast<std::uint8_t>(grid(rng) * 20),
                    static_cast<std::uint8_t>(grid(rng) * 20 + (rng() % 3))};
        if (std::find(palette.begin(), palette.end(), c) == palette.end()) palette.push_back(c);
    }
    RgbImage img(width, height);
    std::uniform_int_distribution<int> pick(0, colours - 1), run(1, 6);
    int left = 0;
    Rgb current = palette[0];
    for (int p = 0; p < width * height; ++p) {
        if (left-- <= 0) {
            current = palette[static_cast<std::size_t>(pick(rng))];
            left = run(rng);
        }
        img.set(p % width, p / width, current);
    }
    // Every colour at least once.
    for (int i = 0; i < colours && i < width * height; ++i) img.set(i % width, i / width, palette[static_cast<std::size_t>(i)]);
    return img;
}

}  // namespace zarvelo::synth
