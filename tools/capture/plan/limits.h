// How far a capture goes: the largest pictures, rates and spans it takes, and the check of a
// size against what an OpenGL context draws.
#pragma once

#include <cstdint>
#include <string>

#include "demo/offscreen_show.h"

// The largest picture side a video is written at: libx264 and libvpx-vp9 refuse pictures far
// larger, and decoders' highest levels stop about here. PNG frames go up to kMaxPictureSide,
// the largest the offscreen show opens.
constexpr int kMaxVideoSide = 8192;
// The most --supersample takes: 16 pixels drawn for each one written.
constexpr int kMaxSupersample = 4;
constexpr int kMaxFps = 1000;
// The clock is 32-bit milliseconds; a day is far beyond any show and well inside it.
constexpr std::int64_t kMaxMilliseconds = 24LL * 60 * 60 * 1000;
constexpr int kMaxJobs = 256;

// Empty when a window of width x height, drawn at `supersample` times that, fits `limits`;
// otherwise why not, in one line, naming the supersampling when that is what does not fit.
std::string sizeBeyondDrawing(int width, int height, const DrawingLimits& limits, int supersample = 1);
