#pragma once
// How close a picture is to another of the same size: SSIM on luma (mean over 7 x 7 windows,
// Y = 0.299 R + 0.587 G + 0.114 B, constants (0.01 * 255)^2 and (0.03 * 255)^2) and PSNR over
// the three colour channels.

#include "graphics/rgb_image.hpp"

namespace zarvelo {

// 1 for identical pictures; 0 for pictures of different sizes or smaller than 7 x 7.
double ssim(const RgbImage& a, const RgbImage& b);

// In dB; infinity for identical pictures, 0 for pictures of different sizes.
double psnr(const RgbImage& a, const RgbImage& b);

}  // namespace zarvelo
