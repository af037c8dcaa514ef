// Tones, output measurements and pulling loops shared by the sound and demo tests.
#include "tests/support/sound_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "sound/sound_library.h"
#include "tests/support/tone_file.h"

namespace testing_support {

sound::Sample makeTone(int rate, double seconds, double hertz, double amplitude, int channels) {
    sound::Sample sample;
    sample.rate = rate;
    sample.channels = channels;
    const auto frames = static_cast<std::size_t>(std::llround(seconds * rate));
    sample.pcm.resize(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < frames; ++i) {
        const double value = amplitude * std::sin(6.283185307179586 * hertz * static_cast<double>(i) / rate);
        for (int c = 0; c < channels; ++c)
            sample.pcm[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
                static_cast<std::int16_t>(std::lrint(value));
    }
    return sample;
}

std::vector<std::int16_t> side(const std::vector<std::int16_t>& stereo, int which) {
    std::vector<std::int16_t> result;
    for (std::size_t i = static_cast<std::size_t>(which); i < stereo.size(); i += 2) result.push_back(stereo[i]);
    return result;
}

int peak(const std::vector<std::int16_t>& samples) {
    int result = 0;
    for (std::int16_t value : samples) result = std::max(result, std::abs(static_cast<int>(value)));
    return result;
}

double crossingsPerSecond(const std::vector<std::int16_t>& samples, int rate) {
    int crossings = 0;
    int previous = 0;
    for (std::int16_t value : samples) {
        if (value == 0) continue;
        const int sign = value > 0 ? 1 : -1;
        if (previous != 0 && sign != previous) ++crossings;
        previous = sign;
    }
    return samples.empty() ? 0.0 : crossings * static_cast<double>(rate) / static_cast<double>(samples.size());
}

std::vector<std::int16_t> mixWhilePlaying(sound::Mixer& mixer, int handle, int block, int limit) {
    std::vector<std::int16_t> out;
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(block) * 2);
    for (int mixed = 0; mixed < limit && mixer.isPlaying(handle); mixed += block) {
        mixer.mix(buffer.data(), block);
        out.insert(out.end(), buffer.begin(), buffer.end());
    }
    return out;
}

std::vector<std::int16_t> pullWhilePlaying(int handle, int block, int limit) {
    std::vector<std::int16_t> out;
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(block) * 2);
    for (int mixed = 0; mixed < limit && sound::isPlaying(handle); mixed += block) {
        if (sound::pullFrames(buffer.data(), block) != block) break;
        out.insert(out.end(), buffer.begin(), buffer.end());
    }
    return out;
}

void writeMusic(const std::string& path, double seconds) {
    ToneSettings settings;
    settings.seconds = seconds;
    std::string error;
    ASSERT_TRUE(writeToneFile(path, settings, error)) << error;
}

}  // namespace testing_support
