// BS.1770-4 integrated loudness (400 ms blocks every 100 ms, gates at -70 LUFS and -10 LU) and
// a 4x windowed-sinc oversampler for the true peak.
#include "tools/assets/loudness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace assets {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Runs one side through both K-weighting stages and returns its square per frame.
std::vector<double> weightedSquares(const std::vector<float>& in, const std::array<Biquad, 2>& filters) {
    std::vector<double> out(in.size());
    double s[2][2] = {};
    for (std::size_t i = 0; i < in.size(); ++i) {
        double x = in[i];
        for (int k = 0; k < 2; ++k) {
            // Transposed direct form II: well behaved for the very low RLB corner.
            const Biquad& f = filters[static_cast<std::size_t>(k)];
            const double y = f.b0 * x + s[k][0];
            s[k][0] = f.b1 * x - f.a1 * y + s[k][1];
            s[k][1] = f.b2 * x - f.a2 * y;
            x = y;
        }
        out[i] = x * x;
    }
    return out;
}

double lufsOf(double meanSquare) { return -0.691 + 10.0 * std::log10(meanSquare); }

}  // namespace

std::array<Biquad, 2> kWeighting(double sampleRate) {
    // The analogue prototypes behind the standard's 48 kHz coefficients, mapped to this rate.
    std::array<Biquad, 2> f;
    {
        const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
        const double k = std::tan(kPi * f0 / sampleRate);
        const double vh = std::pow(10.0, gainDb / 20.0);
        const double vb = std::pow(vh, 0.4996667741545416);
        const double a0 = 1.0 + k / q + k * k;
        f[0] = {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    }
    {
        const double f0 = 38.13547087602444, q = 0.5003270373238773;
        const double k = std::tan(kPi * f0 / sampleRate);
        const double a0 = 1.0 + k / q + k * k;
        f[1] = {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    }
    return f;
}

double integratedLoudness(const StereoBuffer& audio, double sampleRate) {
    const auto filters = kWeighting(sampleRate);
    const std::vector<double> l = weightedSquares(audio.left, filters);
    const std::vector<double> r = weightedSquares(audio.right, filters);
    const auto block = static_cast<std::size_t>(std::llround(0.4 * sampleRate));
    const auto step = static_cast<std::size_t>(std::llround(0.1 * sampleRate));
    // Running sums make every block cost the same whatever its length.
    std::vector<double> sum(audio.frames() + 1, 0.0);
    for (std::size_t i = 0; i < audio.frames(); ++i) sum[i + 1] = sum[i] + l[i] + r[i];
    std::vector<double> blocks;
    for (std::size_t from = 0; from + block <= audio.frames(); from += step) {
        const double z = (sum[from + block] - sum[from]) / static_cast<double>(block);
        if (z > 0.0 && lufsOf(z) > -70.0) blocks.push_back(z);
    }
    if (blocks.empty()) return -70.0;
    double all = 0.0;
    for (double z : blocks) all += z;
    const double relativeGate = lufsOf(all / static_cast<double>(blocks.size())) - 10.0;
    double kept = 0.0;
    std::size_t count = 0;
    for (double z : blocks) {
        if (lufsOf(z) > relativeGate) {
            kept += z;
            ++count;
        }
    }
    return lufsOf(kept / static_cast<double>(count));
}

float truePeak(const StereoBuffer& audio) {
    constexpr int kFactor = 4;
    constexpr int kHalf = 12;  // input samples each side of the point
    // Hann-windowed sinc per phase; phase 0 is the sample itself.
    std::array<std::array<double, 2 * kHalf>, kFactor> taps{};
    for (int p = 1; p < kFactor; ++p) {
        const double frac = static_cast<double>(p) / kFactor;
        for (int j = 0; j < 2 * kHalf; ++j) {
            const double x = static_cast<double>(j - kHalf + 1) - frac;
            const double w = 0.5 + 0.5 * std::cos(kPi * x / (kHalf + 1));
            taps[static_cast<std::size_t>(p)][static_cast<std::size_t>(j)] = w * std::sin(kPi * x) / (kPi * x);
        }
    }
    double peak = 0.0;
    for (const auto* side : {&audio.left, &audio.right}) {
        const std::vector<float>& v = *side;
        const auto n = static_cast<std::ptrdiff_t>(v.size());
        for (std::ptrdiff_t i = 0; i < n; ++i) {
            peak = std::max(peak, static_cast<double>(std::fabs(v[static_cast<std::size_t>(i)])));
            for (int p = 1; p < kFactor; ++p) {
                // The point lies between sample i and i + 1.
                double y = 0.0;
                for (int j = 0; j < 2 * kHalf; ++j) {
                    const std::ptrdiff_t at = i + j - kHalf + 1;
                    if (at >= 0 && at < n)
                        y += taps[static_cast<std::size_t>(p)][static_cast<std::size_t>(j)] *
                             v[static_cast<std::size_t>(at)];
                }
                peak = std::max(peak, std::fabs(y));
            }
        }
    }
    return static_cast<float>(peak);
}

LevelReading measureLevel(const StereoBuffer& audio, double sampleRate) {
    const float peak = truePeak(audio);
    return {integratedLoudness(audio, sampleRate), peak > 0.0f ? 20.0 * std::log10(static_cast<double>(peak)) : -200.0};
}

bool checkMusicLevel(const LevelReading& level, const std::string& name, std::string& error) {
    const double lufs = level.lufs;
    const double peakDb = level.truePeakDb;
    char line[200];
    if (lufs < kMusicLoudnessLow || lufs > kMusicLoudnessHigh) {
        std::snprintf(line, sizeof line, "%s measures %.1f LUFS integrated, outside %.0f..%.0f LUFS", name.c_str(),
                      lufs, kMusicLoudnessLow, kMusicLoudnessHigh);
    } else if (peakDb > kMusicTruePeakMax) {
        std::snprintf(line, sizeof line, "%s has a true peak of %.1f dBTP, above %.0f dBTP", name.c_str(), peakDb,
                      kMusicTruePeakMax);
    } else {
        return true;
    }
    error = line;
    return false;
}

}  // namespace assets
