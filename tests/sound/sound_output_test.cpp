// The audio outputs: SDL's device (the dummy driver under the tests), the silent stand-in
// when no device opens, and that neither pulls any more once closed.
#include "platform/audio.h"
#include "tests/support/output_capture.h"
#include "tests/support/report_capture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Counter {
    std::atomic<long> frames{0};
    std::atomic<int> calls{0};
};

void count(void* user, std::int16_t* out, int frames) {
    auto* counter = static_cast<Counter*>(user);
    for (int i = 0; i < frames * 2; ++i) out[i] = 0;
    counter->frames += frames;
    ++counter->calls;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void expectNoPullsAfterClose(platform::AudioOutput* output, Counter& counter) {
    platform::closeAudioOutput(output);
    const long after = counter.frames.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(counter.frames.load(), after);
}

TEST(SoundOutput, TheDeviceCallsBackOnItsOwnThread) {
    Counter counter;
    platform::AudioOutput* output = platform::openAudioOutput(44100, count, &counter);
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(platform::audioOutputKind(output), platform::AudioOutputKind::kDevice);
    EXPECT_TRUE(waitFor([&] { return counter.calls.load() >= 3; }, std::chrono::seconds(5)));
    expectNoPullsAfterClose(output, counter);
    platform::closeAudioOutput(nullptr);
}

TEST(SoundOutput, WithoutADeviceASilentOutputConsumesInRealTime) {
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    testing_support::ReportCapture captured;
    Counter counter;
    const auto start = Clock::now();
    platform::AudioOutput* output = platform::openAudioOutput(44100, count, &counter);
    const std::string text = captured.written();
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(platform::audioOutputKind(output), platform::AudioOutputKind::kSilent);
    EXPECT_NE(text.find("playing silently"), std::string::npos) << text;

    // It goes on consuming (how close to real time it keeps is measured by oyun_mixer_bench),
    // and never runs ahead of the clock beyond one block.
    EXPECT_TRUE(waitFor([&] { return counter.frames.load() >= 44100 / 2; }, std::chrono::seconds(30)))
        << counter.frames.load() << " frames consumed";
    for (int check = 0; check < 5; ++check) {
        const long frames = counter.frames.load();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        EXPECT_LE(frames, static_cast<long>(seconds * 44100) + 512) << "after " << seconds << " s";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    expectNoPullsAfterClose(output, counter);
}

// Without a sound card the default driver falls back on ALSA, whose own error lines must not
// reach stderr: our report is the only line, and with a working device there is none.
TEST(SoundOutput, TheDefaultDriverWritesAtMostOurOwnLine) {
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::optional<std::string> saved = previous ? std::optional<std::string>(previous) : std::nullopt;
    unsetenv("SDL_AUDIODRIVER");
    std::string text;
    platform::AudioOutputKind kind;
    {
        testing_support::OutputCapture captured(STDERR_FILENO);
        Counter counter;
        platform::AudioOutput* output = platform::openAudioOutput(44100, count, &counter);
        kind = platform::audioOutputKind(output);
        platform::closeAudioOutput(output);
        text = captured.text();
    }
    if (saved) setenv("SDL_AUDIODRIVER", saved->c_str(), 1);

    if (kind == platform::AudioOutputKind::kDevice) {
        EXPECT_EQ(text, "");
    } else {
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_EQ(text.rfind(base::programName() + ": no audio", 0), 0u) << text;
        EXPECT_NE(text.find("playing silently"), std::string::npos) << text;
    }
}

TEST(SoundOutput, ASilentOutputCanBeAskedForDirectly) {
    Counter counter;
    platform::AudioOutput* output = platform::openSilentAudioOutput(8000, count, &counter);
    EXPECT_EQ(platform::audioOutputKind(output), platform::AudioOutputKind::kSilent);
    EXPECT_TRUE(waitFor([&] { return counter.frames.load() >= 1024; }, std::chrono::seconds(5)));
    expectNoPullsAfterClose(output, counter);
}

}  // namespace
