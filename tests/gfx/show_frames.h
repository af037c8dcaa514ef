// Frames of the show rendered offscreen at the golden size on the 50 fps clock, by either
// renderer, for the likeness, determinism and fixed-function-free tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gfx/renderer.h"

namespace gfx_test {

// Runs the clock from 0 and hands over the RGB frame (top row first) of each wanted tick, in
// increasing order, with its index in `ticks`; `afterFrame`, when given, runs after every
// frame drawn. False with `error` set when the show cannot open or ends early.
bool renderShowFrames(gfx::RendererKind renderer, const std::vector<std::uint32_t>& ticks,
                      const std::function<void(std::size_t, const std::vector<std::uint8_t>&)>& visit,
                      std::string& error, const std::function<void()>& afterFrame = nullptr, bool drawEvery = false);

// The band (rows between the letterbox bars) of a whole frame.
std::vector<std::uint8_t> bandOf(const std::vector<std::uint8_t>& rgb);

}  // namespace gfx_test
