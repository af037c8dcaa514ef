// Video segments read back for a join: each part opened and checked to be one this program
// wrote, and the parts together checked to be all of one span of one show at one size and rate.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/av_util.h"
#include "tools/capture/plan/segments.h"

struct SegmentFile {
    std::filesystem::path path;
    SegmentDescription description;
};

// The parts at `paths`, in the order of the span. False with `error` (one line) when one
// cannot be read or is not a segment, when they disagree on the show, size, rate or span, or
// when a part is missing, given twice or incomplete.
bool readSegments(const std::vector<std::filesystem::path>& paths, std::vector<SegmentFile>& segments,
                  std::string& error);

// The segment at `path` open for reading its one video stream; null with `error` set when it
// cannot be read or holds other streams.
AvFormatInputPtr openSegment(const std::filesystem::path& path, std::string& error);
