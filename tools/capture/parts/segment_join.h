// Joins video segments into one file without encoding their pictures again: their packets
// copied in order, and the music of the whole span encoded once.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/capture/parts/segment_files.h"
#include "tools/capture/plan/capture_result.h"

// Writes the segments' pictures (as readSegments gives them) and `sound` (each frame's span of
// interleaved stereo from the span's first frame, `soundFrames` sample frames each) to `output`
// of `kind`; nothing is left there on failure.
bool joinSegments(const std::vector<SegmentFile>& segments, const std::vector<std::int16_t>& sound,
                  const std::vector<int>& soundFrames, const std::filesystem::path& output, OutputKind kind,
                  std::string& error, const std::atomic<bool>* cancel = nullptr);

// --join: reads and checks the parts, runs the show from `dataDir` without drawing for its
// music, and joins.
CaptureResult runJoin(const CaptureOptions& options);
