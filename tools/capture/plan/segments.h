// Segments of a capture: the show's frames split into contiguous time spans rendered apart
// (in worker processes, or on other machines) and joined afterwards. A video segment carries
// its description in its metadata, so that the join can tell parts that do not belong.
#pragma once

#include <optional>
#include <string>

#include "tools/capture/plan/frames.h"

// Part `part` (from 1) of `parts`.
struct SegmentChoice {
    int part = 1;
    int parts = 1;
};

// "K/N" with 1 <= K <= N <= kMaxSegments; nothing for anything else.
constexpr int kMaxSegments = 10000;
std::optional<SegmentChoice> parseSegmentChoice(const std::string& text);

// The frames of part `part` of `parts` of [whole.first, whole.end): contiguous, in order,
// sizes differing by at most one frame.
FrameRange segmentFrames(const FrameRange& whole, SegmentChoice choice);

// What a segment is a part of, written into its metadata under kSegmentTag.
struct SegmentDescription {
    SegmentChoice choice;
    FrameRange frames;  // this part's frames
    FrameRange whole;   // the frames of the whole capture
    int fps = 0;
    int width = 0;
    int height = 0;
    int supersample = 1;
    std::string renderer = "gl11";  // what drew the frames (gfx::rendererName)
    std::string show;               // the identity of the show it was rendered from

    std::string text() const;
    // Nothing when `text` is not a description this program writes.
    static std::optional<SegmentDescription> parse(const std::string& text);
};

inline constexpr const char* kSegmentTag = "OYUN_SEGMENT";
