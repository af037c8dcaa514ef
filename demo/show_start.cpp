// Where the show finds its data and the moment it starts at.
#include <string>

#include "demo/demo.h"
#include "demo/demo_globals.h"
#include "platform/clock.h"
#include "sound/sound_library.h"

namespace {

// The show's animation moves in steps of 20 ms; a replay takes every one of them.
constexpr std::uint32_t kReplayStep = 20;

ShowOptions current;

bool startShow(AppWindow* window, KeyState* keys) {
    if (!initialiseDemo(window, keys)) return false;
    if (current.fromMs > 0) seekShow(current.fromMs);
    return true;
}

}  // namespace

std::string showDataFile(const char* name) { return current.dataFolder + "/" + name; }

void useShowOptions(const ShowOptions& options) { current = options; }

float showPixelScale() { return current.pixelScale; }

ShellSettings showShellSettings() {
    ShellSettings settings;
    settings.callbacks = {startShow, updateDemo, drawDemo, deinitialiseDemo};
    return settings;
}

void seekShow(std::uint32_t fromMs) {
    const bool wasVirtual = platform::virtualClockActive();
    platform::useVirtualClock(startTick);
    std::uint32_t elapsed = 0;
    while (elapsed + kReplayStep <= fromMs && programRunning == 1) {
        elapsed += kReplayStep;
        platform::setVirtualTick(startTick + elapsed);
        updateDemo(kReplayStep);
        skipDemoFrame();
    }
    const std::int32_t channel = soundSystem.getChannel(kMusicRecord);
    const int rate = sound::getFrequency(channel);
    if (rate > 0) sound::setCurrentPosition(channel, static_cast<std::int64_t>(fromMs) * rate / 1000);
    if (wasVirtual)
        platform::setVirtualTick(startTick + fromMs);
    else
        platform::useRealClockFrom(startTick + fromMs);
}
