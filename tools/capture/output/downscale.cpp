#include "tools/capture/output/downscale.h"

#include "tools/capture/plan/numbers.h"

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

std::unique_ptr<Downscaler> Downscaler::open(int width, int height, int factor, PixelOrder order, std::string& error) {
    // libswscale's filters are not an area mean when a side is one pixel.
    if (width < 2 || height < 2) {
        error = "supersampling needs a picture of at least 2x2, not " + sizeText(width, height);
        return nullptr;
    }
    const AVPixelFormat format = order == PixelOrder::kBgr ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_RGB24;
    // libswscale works in YUV inside; without full chroma on both sides it halves the colour's
    // horizontal resolution, which odd factors show as colour fringes.
    constexpr int kFlags = SWS_AREA | SWS_FULL_CHR_H_INP | SWS_FULL_CHR_H_INT;
    SwsContext* context = sws_getContext(width * factor, height * factor, format, width, height, format, kFlags,
                                         nullptr, nullptr, nullptr);
    if (context == nullptr) {
        error =
            "cannot scale " + sizeText(width * factor, height * factor) + " frames down to " + sizeText(width, height);
        return nullptr;
    }
    return std::unique_ptr<Downscaler>(new Downscaler(context, width, height, factor));
}

Downscaler::Downscaler(SwsContext* context, int width, int height, int factor)
    : context_(context), width_(width), height_(height), factor_(factor) {}

Downscaler::~Downscaler() { sws_freeContext(context_); }

void Downscaler::scale(const std::uint8_t* from, std::uint8_t* to) const {
    const std::uint8_t* const source[4] = {from, nullptr, nullptr, nullptr};
    const int sourceStride[4] = {width_ * factor_ * 3, 0, 0, 0};
    std::uint8_t* const target[4] = {to, nullptr, nullptr, nullptr};
    const int targetStride[4] = {width_ * 3, 0, 0, 0};
    sws_scale(context_, source, sourceStride, 0, height_ * factor_, target, targetStride);
}
