// oyun_mixer_bench: the CPU time the mixer needs for 60 s of sound with N channels playing,
// as a fraction of real time ("cpu_per_audio_second": 0.01 means 1 % of one core); and how
// closely the silent output that stands in for a missing sound card keeps to the clock.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "sound/mixer.h"

namespace {

constexpr int kMixRate = 44100;
constexpr int kSeconds = 60;
constexpr int kCallbackFrames = 1024;  // what the device asks for at a time

// Ten seconds of a looping tone, mono at 22050 Hz or stereo at 44100 Hz.
sound::Sample loopingTone(int index) {
    sound::Sample sample;
    sample.channels = index % 2 == 0 ? 1 : 2;
    sample.rate = sample.channels == 1 ? 22050 : 44100;
    sample.loop = true;
    const int frames = sample.rate * 10;
    sample.pcm.resize(static_cast<std::size_t>(frames * sample.channels));
    const double hertz = 110.0 * (1 + index % 7);
    for (std::size_t i = 0; i < sample.pcm.size(); ++i) {
        const double t = static_cast<double>(i / static_cast<std::size_t>(sample.channels)) / sample.rate;
        sample.pcm[i] = static_cast<std::int16_t>(1000.0 * std::sin(6.283185307179586 * hertz * t));
    }
    return sample;
}

void mixSixtySeconds(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    std::vector<sound::Sample> samples;
    for (int i = 0; i < channels; ++i) samples.push_back(loopingTone(i));
    sound::Mixer mixer(kMixRate, 32);
    for (int i = 0; i < channels; ++i) {
        const int handle = mixer.start(sound::Mixer::kAnyChannel, &samples[static_cast<std::size_t>(i)], false);
        // Rates that are not whole multiples of the mix rate, so that every frame interpolates.
        mixer.setFrequency(handle, samples[static_cast<std::size_t>(i)].rate * (97 + i) / 100);
        mixer.setPan(handle, (i * 37) % 256);
        mixer.setVolume(handle, 200);
    }
    std::vector<std::int16_t> buffer(kCallbackFrames * 2);
    for (auto _ : state) {
        for (int frames = 0; frames < kMixRate * kSeconds; frames += kCallbackFrames) {
            mixer.mix(buffer.data(), kCallbackFrames);
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    if (mixer.playingCount() != channels) state.SkipWithError("a channel stopped playing");
    // CPU seconds per second of sound.
    state.counters["cpu_per_audio_second"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSeconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(mixSixtySeconds)->Arg(1)->Arg(32)->Unit(benchmark::kMillisecond);

void countPulled(void* user, std::int16_t* out, int frames) {
    for (int i = 0; i < frames * 2; ++i) out[i] = 0;
    *static_cast<std::atomic<long>*>(user) += frames;
}

// One second of the silent output: "consumed_per_real_second" is 1.0 when it keeps pace with
// the clock; the music's end and the show's timing rely on it without a sound card.
void silentOutputPace(benchmark::State& state) {
    double consumed = 0.0;
    double seconds = 0.0;
    for (auto _ : state) {
        std::atomic<long> frames{0};
        const auto start = std::chrono::steady_clock::now();
        platform::AudioOutput* output = platform::openSilentAudioOutput(kMixRate, countPulled, &frames);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        platform::closeAudioOutput(output);
        consumed += static_cast<double>(frames.load()) / kMixRate;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["consumed_per_real_second"] = consumed / seconds;
}

BENCHMARK(silentOutputPace)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
