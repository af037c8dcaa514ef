// Likeness of two pictures: PSNR over every channel and SSIM of their luma, as image
// comparisons usually give them.
#pragma once

#include <cstdint>
#include <vector>

namespace gfx_test {

// Peak signal-to-noise ratio in dB of two RGB pictures of the same size; infinite when equal.
double psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);

// Mean structural similarity of the luma (BT.601) of two RGB pictures of width x height:
// Gaussian window of 11 taps, sigma 1.5, K1 = 0.01, K2 = 0.03, over the whole picture
// (edges clamped). 1 for equal pictures.
double ssim(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int width, int height);

// Per pixel: the largest channel difference, times `gain`, clamped to 255, as grey RGB.
std::vector<std::uint8_t> differenceImage(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                                          int gain);

}  // namespace gfx_test
