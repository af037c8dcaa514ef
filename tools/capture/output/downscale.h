// Frames drawn at a whole multiple of the capture's size, scaled down to it with an area
// filter (each output pixel the mean of its block) through libswscale.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "demo/offscreen_show.h"

struct SwsContext;

class Downscaler {
public:
    // From `factor` times width x height to width x height, three bytes a pixel in `order` on
    // both sides; each side at least 2. Null with `error` set (one line) otherwise, or when
    // libswscale refuses the sizes.
    static std::unique_ptr<Downscaler> open(int width, int height, int factor, PixelOrder order, std::string& error);
    ~Downscaler();
    Downscaler(const Downscaler&) = delete;
    Downscaler& operator=(const Downscaler&) = delete;

    // `from` holds the large picture, `to` gets the small one; rows packed, in either
    // direction as long as both go the same way (blocks line up from the first row).
    void scale(const std::uint8_t* from, std::uint8_t* to) const;

private:
    Downscaler(SwsContext* context, int width, int height, int factor);
    SwsContext* context_;
    int width_;
    int height_;
    int factor_;
};
