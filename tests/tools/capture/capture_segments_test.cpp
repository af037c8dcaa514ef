// How a capture is split into segments, what a segment says of itself, and how many worker
// processes a capture takes.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "tools/capture/parts/sharing.h"
#include "tools/capture/plan/segments.h"

namespace {

TEST(CaptureSegments, PartsAreReadOnlyAsKOfN) {
    const auto choice = parseSegmentChoice("2/3");
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->part, 2);
    EXPECT_EQ(choice->parts, 3);
    EXPECT_TRUE(parseSegmentChoice("1/1"));
    for (const char* wrong : {"0/3", "4/3", "3", "1/0", "-1/3", "1/3x", "a/b", "/3", "1/", "1/10001", ""})
        EXPECT_FALSE(parseSegmentChoice(wrong)) << wrong;
}

TEST(CaptureSegments, PartsCoverTheSpanInOrderWithoutGapOrOverlap) {
    for (const FrameRange whole : {FrameRange{0, 7052}, FrameRange{1000, 1030}, FrameRange{5, 8}, FrameRange{0, 1}})
        for (int parts = 1; parts <= 7; ++parts) {
            if (whole.end - whole.first < parts) continue;
            std::int64_t next = whole.first;
            std::int64_t shortest = INT64_MAX;
            std::int64_t longest = 0;
            for (int part = 1; part <= parts; ++part) {
                const FrameRange frames = segmentFrames(whole, {part, parts});
                EXPECT_EQ(frames.first, next) << part << "/" << parts;
                EXPECT_LT(frames.first, frames.end) << part << "/" << parts;
                shortest = std::min(shortest, frames.end - frames.first);
                longest = std::max(longest, frames.end - frames.first);
                next = frames.end;
            }
            EXPECT_EQ(next, whole.end);
            EXPECT_LE(longest - shortest, 1) << parts << " parts of " << whole.end - whole.first;
        }
}

TEST(CaptureSegments, ADescriptionReadsBackAndNothingElseReadsAsOne) {
    SegmentDescription d;
    d.choice = {2, 3};
    d.frames = {1010, 1020};
    d.whole = {1000, 1030};
    d.fps = 50;
    d.width = 96;
    d.height = 72;
    d.supersample = 2;
    d.renderer = "gles3";
    d.show = "0123456789abcdef";
    const std::string text = d.text();
    const auto back = SegmentDescription::parse(text);
    ASSERT_TRUE(back) << text;
    EXPECT_EQ(back->text(), text);
    EXPECT_EQ(back->frames.first, 1010);
    EXPECT_EQ(back->whole.end, 1030);
    EXPECT_EQ(back->height, 72);
    EXPECT_EQ(back->renderer, "gles3");

    auto replaced = [&text](const std::string& from, const std::string& to) {
        std::string changed = text;
        changed.replace(changed.find(from), from.size(), to);
        return changed;
    };
    for (const std::string& wrong :
         {std::string(), std::string("version=2"), replaced("version=2", "version=1"),
          replaced("renderer=gles3", "renderer=gl2"), replaced(" renderer=gles3", ""), replaced("part=2", "part=4"),
          replaced("first=1010", "first=990"), replaced("end=1020", "end=1040"), replaced("size=96x72", "size=96"),
          replaced("fps=50", "fps=0"), replaced("show=0123456789abcdef", "show="), text + " extra=1",
          replaced("part=2", "part=2 part=2"), replaced("end=1020", "end=1010")})
        EXPECT_FALSE(SegmentDescription::parse(wrong)) << wrong;
}

TEST(CaptureSegments, JobsAreAskedForOrTheCoresWhereTheSpanIsLongEnough) {
    CaptureOptions options;
    options.fps = 50;
    options.jobs = 3;
    EXPECT_EQ(captureJobs(options, 30), 3);
    EXPECT_EQ(captureJobs(options, 2), 2) << "never more workers than frames";
    EXPECT_EQ(captureJobs(options, 1), 1);
    options.segment = SegmentChoice{1, 2};
    EXPECT_EQ(captureJobs(options, 30), 1) << "a segment is one process";
    options.segment.reset();

    options.jobs = 0;
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    EXPECT_EQ(captureJobs(options, 7052), std::min(cores, 28));
    EXPECT_EQ(captureJobs(options, INT64_MAX), cores);
    EXPECT_EQ(captureJobs(options, 249), 1) << "under five seconds a worker costs more than it saves";
    EXPECT_EQ(captureJobs(options, 500), std::min(cores, 2));
}

}  // namespace
