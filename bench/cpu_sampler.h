// Where the process's CPU time goes: a profiling timer samples the interrupted instruction of
// whichever thread is running, and each sample counts as the program's own code (the
// executable: the show, its engine and the shell), as GLU (the spheres' tessellation, work
// done for the show on its thread), or as everything else (the GL driver and its rasteriser
// threads, JIT-compiled shaders, the C and maths libraries).
#pragma once

#include <cstdint>

struct CpuSamples {
    std::uint64_t own = 0;
    std::uint64_t glu = 0;
    std::uint64_t other = 0;

    std::uint64_t total() const { return own + glu + other; }
    double share(std::uint64_t part) const {
        return total() == 0 ? 0.0 : static_cast<double>(part) / static_cast<double>(total());
    }
};

class CpuSampler {
public:
    // Samples every `intervalMicroseconds` of process CPU time until destroyed. One at a time.
    explicit CpuSampler(int intervalMicroseconds = 500);
    ~CpuSampler();
    CpuSampler(const CpuSampler&) = delete;
    CpuSampler& operator=(const CpuSampler&) = delete;

    // Samples taken since the last call.
    CpuSamples take();
};
