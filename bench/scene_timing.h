// Frame times of the show inside each scene, rendered offscreen on the virtual clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bench/cpu_sampler.h"

class OffscreenShow;

struct SceneSpan {
    const char* name;
    std::uint32_t fromTick;  // the first measured frame's clock
};

// One span inside each scene and overlay, in show order.
const std::vector<SceneSpan>& benchScenes();

struct SceneTiming {
    std::string name;
    std::vector<double> frameMilliseconds;  // update, drawing and the driver finishing it
    CpuSamples samples;                     // of the CPU time spent on the measured frames
    double median() const;
    double percentile95() const;
};

// Measures `frames` frames at `fps` from each span's start; the frames between spans are
// replayed without drawing, as a seek would. Stops early (fewer timings) if the show ends.
std::vector<SceneTiming> timeScenes(OffscreenShow& show, int frames, int fps);
