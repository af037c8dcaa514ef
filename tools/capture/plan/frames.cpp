#include "tools/capture/plan/frames.h"

#include <numeric>

std::string animationStepWarning(int fps) {
    constexpr int kStepsASecond = 50;
    if (fps < 1 || kStepsASecond % fps == 0) return {};
    const std::string head = "at " + std::to_string(fps) + " fps the animation moves in 20 ms steps, so ";
    const std::string tail = "; 50 fps (or 25) moves it every frame by the same amount";
    if (fps > kStepsASecond) {
        // Every step is shown, so a second's fps - 50 other frames are repeats.
        const int common = std::gcd(fps - kStepsASecond, fps);
        const int repeats = (fps - kStepsASecond) / common;
        return head + std::to_string(repeats) + (repeats == 1 ? " frame in " : " frames in ") +
               std::to_string(fps / common) + (repeats == 1 ? " repeats" : " repeat") + " the one before" + tail;
    }
    const int fewer = kStepsASecond / fps;
    return head + "frames move it unevenly, by " + std::to_string(fewer) + " or " + std::to_string(fewer + 1) +
           " steps" + tail;
}
