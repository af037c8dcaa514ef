// What oyun-capture is asked to do: plain data, filled from the command line (or by the
// bench), read by every way of running a capture.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gfx/renderer.h"
#include "tools/capture/plan/frames.h"
#include "tools/capture/plan/output_kind.h"
#include "tools/capture/plan/segments.h"

// What a running capture reports, a few times a second and once at the end.
struct CaptureProgress {
    bool seeking = false;          // frames before the first written one, run without drawing
    std::int64_t framesDone = 0;   // written (or rendered) so far
    std::int64_t framesTotal = 0;  // expected; 0 when not known
    int fps = 50;
    std::uint32_t showTick = 0;  // the clock of the latest frame, ms
    std::uint32_t endTick = 0;   // the clock where the capture is expected to end; 0 when not known
    double wallSeconds = 0;      // since the first written frame; while seeking, since the start
    bool finished = false;
};

struct CaptureOptions {
    std::filesystem::path output;
    OutputKind kind = OutputKind::kMp4;
    int fps = 50;  // one step of the show's 20 ms animation a frame
    int width = 1024;
    int height = 768;
    std::optional<std::int64_t> fromMs;   // frames before it run without drawing
    std::optional<std::int64_t> toMs;     // frames with a tick before it
    std::optional<std::int64_t> frameMs;  // one frame: the first whose tick is at or after it
    std::filesystem::path dataDir;        // from the command line: empty without --data
    bool quiet = false;
    int supersample = 1;  // frames drawn at this many times the size, then scaled down by area
    gfx::RendererKind renderer = gfx::RendererKind::kGl11;  // what draws the frames

    // Worker processes, each rendering a contiguous span; 0 for the machine's cores, where the
    // span is long enough to share.
    int jobs = 0;
    // Only this part of the span, for joining later (--segment K/N).
    std::optional<SegmentChoice> segment;
    // Segments to join into `output` instead of rendering (--join).
    std::vector<std::filesystem::path> joinParts;
    // Frames done, as "frames N" lines on stdout: how a worker tells the capture that started it.
    bool reportFrames = false;
    // The frames to write, set for a segment in place of fromMs/toMs/frameMs.
    std::optional<FrameRange> frames;
    // Written into a segment's metadata; a segment's PNG frames leave other frames alone.
    std::optional<std::string> segmentDescription;

    // Renders the same frames and pulls the same sound, but reads nothing back and writes
    // nothing: the baseline a capture's cost is measured against.
    bool renderOnly = false;
    // Set (e.g. by a signal) to stop between frames; the output is then removed.
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(const CaptureProgress&)> progress;

    bool cancelled() const { return cancel != nullptr && cancel->load(); }
};

// The frames a capture writes (see FrameRange).
FrameRange frameRangeOf(const CaptureOptions& options);
