// Joins video segments into one file without encoding their pictures again: the parts are
// checked to be all of one span of one show at one size and rate, their packets copied in
// order, and the music of the whole span encoded once.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/capture/capture_options.h"
#include "tools/capture/segment.h"

struct SegmentFile {
    std::filesystem::path path;
    SegmentDescription description;
};

// The parts at `paths`, in the order of the span. False with `error` (one line) when one
// cannot be read or is not a segment, when they disagree on the show, size, rate or span, or
// when a part is missing, given twice or incomplete.
bool readSegments(const std::vector<std::filesystem::path>& paths, std::vector<SegmentFile>& segments,
                  std::string& error);

// Writes the segments' pictures and `sound` (each frame's span of interleaved stereo from the
// span's first frame, `soundFrames` sample frames each) to `output` of `kind`; nothing is
// left there on failure.
bool joinSegments(const std::vector<SegmentFile>& segments, const std::vector<std::int16_t>& sound,
                  const std::vector<int>& soundFrames, const std::filesystem::path& output, OutputKind kind,
                  std::string& error, const std::atomic<bool>* cancel = nullptr);

// --join: reads and checks the parts, runs the show from `dataDir` without drawing for its
// music, and joins.
CaptureResult runJoin(const CaptureOptions& options);
