// The golden frames: which moments of the show tests/golden/ keeps (the band of each, as the
// offscreen show draws it at 1024 x 768 on the 50 fps clock), for the golden-frame test and
// the likeness test of the other renderer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace testing_support {

struct GoldenFrame {
    const char* name;    // tests/golden/<name>.png
    std::uint32_t tick;  // a multiple of 20: a frame of the 50 fps clock
};

constexpr GoldenFrame kGoldenFrames[] = {
    {"scene1_tower", 10000},  {"overlay1_chain", 28000}, {"scene2_tower", 50000},    {"scene3_rings", 70000},
    {"scene4_rising", 83000}, {"scene6_glow", 88000},    {"scene6_credits", 100000}, {"scene6_credits2", 115000},
};

constexpr int kGoldenWidth = 1024;
constexpr int kGoldenHeight = 768;
constexpr int kGoldenFps = 50;
// The kept files hold only the band: the rows between the letterbox bars.
constexpr int kLetterboxRows = 128;
constexpr int kBandHeight = kGoldenHeight - 2 * kLetterboxRows;

}  // namespace testing_support
