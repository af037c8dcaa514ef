#include "tools/assets/icon.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "base/av_util.h"
#include "tools/assets/canvas_draw.h"
#include "tools/assets/file_output.h"

namespace assets {

namespace {

// How much of pixel (x, y) the rounded tile covers, 0..1.
float tileCoverage(int x, int y, int size) {
    const float c = static_cast<float>(size) / 2.0f;
    const float dx = std::fabs((static_cast<float>(x) + 0.5f - c) / c);
    const float dy = std::fabs((static_cast<float>(y) + 0.5f - c) / c);
    const float corner = std::pow(std::pow(dx, 5.0f) + std::pow(dy, 5.0f), 0.2f);
    return 1.0f - smoothStep(0.94f, 0.98f, corner);
}

}  // namespace

Canvas drawIcon(int size) {
    Canvas canvas(size, size);
    const float s = static_cast<float>(size);
    const float c = s / 2.0f;
    // The show's clear colour, darkening towards the corners of a rounded tile.
    const Rgb deep = hexRgb(0x003380);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - c) / c;
            const float dy = (static_cast<float>(y) + 0.5f - c) / c;
            canvas.at(x, y) = deep * (1.0f - 0.45f * std::sqrt(dx * dx + dy * dy) / 1.42f);
        }
    }
    // Rings of the tower, seen from below as they circle the view.
    const Rgb pink = hexRgb(0xFF4FA8);
    for (int ring = 0; ring < 5; ++ring) {
        const float radius = s * (0.40f - 0.065f * static_cast<float>(ring));
        addRing(canvas, c, c, radius, std::max(1.0f, s * 0.018f), pink * (1.0f - 0.15f * static_cast<float>(ring)));
    }
    addGlow(canvas, c, c, s * 0.16f, 1.5f, pink * 0.35f);
    // The chrome ball: a bright disc with a highlight up and to the left.
    addDisc(canvas, c, c, s * 0.12f, std::max(0.75f, s * 0.006f), hexRgb(0xC8D4F0) * 0.8f);
    addGlow(canvas, c - s * 0.04f, c - s * 0.04f, s * 0.03f, 2.0f, hexRgb(0xFFFFFF) * 0.9f);
    return canvas;
}

std::vector<std::uint8_t> encodePng(const Image8& image, std::string& error) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
    if (codec == nullptr) {
        error = "this FFmpeg has no PNG encoder";
        return {};
    }
    AvCodecContextPtr context(avcodec_alloc_context3(codec));
    AvFramePtr frame(av_frame_alloc());
    AvPacketPtr packet(av_packet_alloc());
    if (!context || !frame || !packet) {
        error = "out of memory for the PNG encoder";
        return {};
    }
    context->width = image.width;
    context->height = image.height;
    context->pix_fmt = image.channels == 4 ? AV_PIX_FMT_RGBA : AV_PIX_FMT_RGB24;
    context->time_base = AVRational{1, 1};
    // The best compression: icons are small and written once.
    context->compression_level = 9;
    int result = avcodec_open2(context.get(), codec, nullptr);
    if (result >= 0) {
        frame->width = image.width;
        frame->height = image.height;
        frame->format = context->pix_fmt;
        result = av_frame_get_buffer(frame.get(), 0);
    }
    if (result >= 0) {
        const std::size_t rowBytes = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.channels);
        for (int y = 0; y < image.height; ++y)
            std::memcpy(frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0],
                        image.bytes.data() + static_cast<std::size_t>(y) * rowBytes, rowBytes);
        result = avcodec_send_frame(context.get(), frame.get());
    }
    if (result >= 0) result = avcodec_receive_packet(context.get(), packet.get());
    if (result < 0) {
        error = "cannot encode a PNG: " + avErrorText(result);
        return {};
    }
    return std::vector<std::uint8_t>(packet->data, packet->data + packet->size);
}

bool writeIcons(const std::string& folder, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = "cannot make " + folder + ": " + ec.message();
        return false;
    }
    for (const int size : {48, 256}) {
        Image8 image = toImage8(drawIcon(size), 4);
        // Outside the rounded tile the icon is transparent.
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                image.bytes[(static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
                             static_cast<std::size_t>(x)) *
                                4 +
                            3] = static_cast<std::uint8_t>(std::lround(255.0f * tileCoverage(x, y, size)));
        const std::vector<std::uint8_t> png = encodePng(image, error);
        if (png.empty()) return false;
        if (!writeFile(folder + "/oyun-" + std::to_string(size) + ".png", png, error)) return false;
    }
    return true;
}

}  // namespace assets
