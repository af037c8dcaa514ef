// The show on an offscreen OpenGL window driven by a virtual clock: the real set-up, update,
// timeline and drawing, frame by frame, with the music mixed offline by the caller's pulls.
// One per process (the show's state is global).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gfx/renderer.h"

// The order of the three bytes of a pixel read back.
enum class PixelOrder { kRgb, kBgr };

struct OffscreenShowOptions {
    // Client size. The 1024x768 window's picture, bars and band, is scaled to the largest 4:3
    // frame that fits, centred on black.
    int width = 1024;
    int height = 768;
    std::filesystem::path dataDir = "data";
    // What draws the show; a renderer that cannot start on this machine makes open fail.
    gfx::RendererKind renderer = gfx::RendererKind::kGl11;
};

class OffscreenShow {
public:
    // Opens the window and sets the show up with its clock at tick 0. Null with `error` set
    // (one line) when there is no GL, the chosen renderer cannot start, the data folder lacks a
    // file or a file is refused.
    static std::unique_ptr<OffscreenShow> open(const OffscreenShowOptions& options, std::string& error);
    ~OffscreenShow();
    OffscreenShow(const OffscreenShow&) = delete;
    OffscreenShow& operator=(const OffscreenShow&) = delete;

    int width() const;
    int height() const;

    // The update of a frame whose clock reads `tick` ms: keys, camera, clock, end of music.
    // False once the show has asked to end; such a frame is neither drawn nor skipped.
    bool update(std::uint32_t tick);
    // Draws the frame into the back buffer (not swapped).
    void draw();
    // Replays what drawing changes, without drawing.
    void skip();
    // Finishes the frame: swaps, as the window would.
    void present();

    // The client area as drawn, RGB, top row first: width * height * 3 bytes.
    void readPixels(std::vector<std::uint8_t>& rgb) const;
    // The same into caller memory in `order`, rows bottom first (as GL gives them).
    void readPixelsBottomUp(PixelOrder order, std::uint8_t* out) const;

private:
    struct State;
    explicit OffscreenShow(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// The tick of frame n at `fps` frames a second: floor(n * 1000 / fps).
constexpr std::uint32_t tickOfFrame(std::int64_t frame, int fps) {
    return static_cast<std::uint32_t>(frame * 1000 / fps);
}

// The first frame whose tick is at or after `milliseconds`.
constexpr std::int64_t firstFrameAtOrAfter(std::int64_t milliseconds, int fps) {
    return (milliseconds * fps + 999) / 1000;
}
