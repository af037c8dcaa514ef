// oyun_load_bench: how long loading the show's music keeps its caller waiting, decoded
// whole before returning versus returning after the first second with a worker decoding
// the rest. The file: the first argument after the benchmark flags, else the build's music.
#include <benchmark/benchmark.h>

#include <string>

#include "sound/audio_decoder.h"

namespace {

std::string musicPath = OYUN_DATA_DIR "/music.wma";

void wholeFile(benchmark::State& state) {
    for (auto _ : state) {
        sound::Sample sample;
        std::string error;
        if (!sound::decodeAudioFile(musicPath.c_str(), sample, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(sample.pcm.data());
    }
}

void firstSecond(benchmark::State& state) {
    for (auto _ : state) {
        sound::Sample sample;
        std::string error;
        if (!sound::decodeAudioFileStreamed(musicPath.c_str(), sample, error)) state.SkipWithError(error.c_str());
        // Not the caller's wait: the worker finishes on its own time.
        state.PauseTiming();
        if (sample.stream) sample.stream->waitFor(INT64_MAX);
        sample.stream.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(wholeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(firstSecond)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc > 1) musicPath = argv[1];
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
