// oyun-capture's command line, the frames it chooses and the sound span of each frame.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "demo/offscreen_show.h"
#include "tests/support/temp_dir.h"
#include "tools/capture/capture.h"
#include "tools/capture/capture_options.h"

namespace {

struct Parsed {
    ParseOutcome outcome;
    CaptureOptions options;
    std::string error;
};

Parsed parse(const std::vector<std::string>& arguments) {
    Parsed parsed;
    parsed.outcome = parseCaptureArguments(arguments, "/default/data", parsed.options, parsed.error);
    return parsed;
}

TEST(CaptureArguments, DefaultsAreTheWholeShowAt1024x768And60Fps) {
    const Parsed p = parse({"--output", "show.mp4"});
    ASSERT_EQ(p.outcome, ParseOutcome::Run) << p.error;
    EXPECT_EQ(p.options.output, "show.mp4");
    EXPECT_EQ(p.options.kind, OutputKind::Mp4);
    EXPECT_EQ(p.options.fps, 60);
    EXPECT_EQ(p.options.width, 1024);
    EXPECT_EQ(p.options.height, 768);
    EXPECT_FALSE(p.options.fromMs || p.options.toMs || p.options.frameMs);
    EXPECT_EQ(p.options.dataDir, "/default/data");
    EXPECT_FALSE(p.options.quiet);
    EXPECT_FALSE(p.options.renderOnly);
}

TEST(CaptureArguments, EveryOptionIsRead) {
    const Parsed p = parse({"--fps", "30", "--size", "640x480", "--from", "1500", "--to=9000", "--data", "d", "--quiet",
                            "--output=clip.webm"});
    ASSERT_EQ(p.outcome, ParseOutcome::Run) << p.error;
    EXPECT_EQ(p.options.kind, OutputKind::WebM);
    EXPECT_EQ(p.options.fps, 30);
    EXPECT_EQ(p.options.width, 640);
    EXPECT_EQ(p.options.height, 480);
    EXPECT_EQ(p.options.fromMs, 1500);
    EXPECT_EQ(p.options.toMs, 9000);
    EXPECT_EQ(p.options.dataDir, "d");
    EXPECT_TRUE(p.options.quiet);

    const Parsed frame = parse({"--frame", "65000", "--output", "f.png"});
    ASSERT_EQ(frame.outcome, ParseOutcome::Run) << frame.error;
    EXPECT_EQ(frame.options.kind, OutputKind::PngFrame);
    EXPECT_EQ(frame.options.frameMs, 65000);

    EXPECT_EQ(parse({"--output", "x.mp4", "--help"}).outcome, ParseOutcome::Help);
    EXPECT_EQ(parse({"-h"}).outcome, ParseOutcome::Help);
}

TEST(CaptureArguments, TheOutputNameSaysWhatIsWritten) {
    EXPECT_EQ(outputKindOf("a.mp4"), OutputKind::Mp4);
    EXPECT_EQ(outputKindOf("a.MKV"), OutputKind::Mkv);
    EXPECT_EQ(outputKindOf("dir.x/a.webm"), OutputKind::WebM);
    EXPECT_EQ(outputKindOf("a.Png"), OutputKind::PngFrame);
    EXPECT_EQ(outputKindOf("frames/"), OutputKind::PngFolder);
    EXPECT_EQ(outputKindOf("frames.mp4/"), OutputKind::PngFolder);
    EXPECT_EQ(outputKindOf("a.avi"), std::nullopt);
    EXPECT_EQ(outputKindOf("frames"), std::nullopt);

    testing_support::TempWorkingDir dir;
    std::filesystem::create_directory("existing");
    EXPECT_EQ(outputKindOf("existing"), OutputKind::PngFolder);
}

TEST(CaptureArguments, MistakesAreOneLineEach) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "--output is required"},
        {{"--output"}, "--output needs a value"},
        {{"--output", ""}, "--output needs a value"},
        {{"--output", "x.mp4", "--speed", "2"}, "unknown option --speed"},
        {{"--output", "x.mp4", "extra"}, "unexpected argument 'extra'"},
        {{"--output", "x.avi"}, "cannot tell what to write to 'x.avi'"},
        {{"--output", "frames"}, "cannot tell what to write to 'frames'"},
        {{"--output", "x.mp4", "--fps", "0"}, "--fps takes a whole number from 1 to 1000, not '0'"},
        {{"--output", "x.mp4", "--fps", "1001"}, "--fps takes a whole number"},
        {{"--output", "x.mp4", "--fps", "30fps"}, "--fps takes a whole number"},
        {{"--output", "x.mp4", "--fps", "-5"}, "--fps takes a whole number"},
        {{"--output", "x.mp4", "--size", "640"}, "--size takes WIDTHxHEIGHT"},
        {{"--output", "x.mp4", "--size", "0x480"}, "--size takes WIDTHxHEIGHT"},
        {{"--output", "x.mp4", "--size", "640x"}, "--size takes WIDTHxHEIGHT"},
        {{"--output", "x.mp4", "--size", "640x480x2"}, "--size takes WIDTHxHEIGHT"},
        {{"--output", "x.mp4", "--size", "20000x480"}, "--size takes WIDTHxHEIGHT"},
        {{"--output", "x.mp4", "--from", "-1"}, "--from takes milliseconds"},
        {{"--output", "x.mp4", "--to", "1.5"}, "--to takes milliseconds"},
        {{"--output", "x.mp4", "--from", "2000", "--to", "2000"}, "--to (2000) must come after --from (2000)"},
        {{"--output", "x.mp4", "--to", "0"}, "no frame at 60 fps falls before --to (0)"},
        {{"--output", "x.mp4", "--from", "1001", "--to", "1010"},
         "no frame at 60 fps falls before --to (1010) from --from (1001)"},
        {{"--output", "x.mp4", "--quiet=yes"}, "--quiet takes no value"},
        {{"--output", "x.mp4", "--frame", "100"}, "--frame writes one PNG: --output must end in .png"},
        {{"--output", "x.png", "--frame", "100", "--from", "50"}, "--frame takes one frame"},
        {{"--output", "x.png"}, "a .png output is one frame"},
        {{"--output", "x.mp4", "--size", "161x120"}, "video needs an even width and height, not 161x120"},
        {{"--output", "x.webm", "--size", "160x121"}, "video needs an even width and height"},
    };
    for (const auto& [arguments, message] : cases) {
        std::string joined;
        for (const std::string& argument : arguments) joined += argument + " ";
        const Parsed p = parse(arguments);
        EXPECT_EQ(p.outcome, ParseOutcome::Error) << joined;
        EXPECT_EQ(p.error.rfind(message, 0), 0u) << joined << "-> " << p.error;
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << joined;
    }
}

TEST(CaptureArguments, PngFramesTakeOddSizes) {
    EXPECT_EQ(parse({"--output", "frames/", "--size", "161x121"}).outcome, ParseOutcome::Run);
    EXPECT_EQ(parse({"--output", "f.png", "--frame", "0", "--size", "1x1"}).outcome, ParseOutcome::Run);
}

TEST(CaptureFrames, RangesStartAtTheFirstFrameAtOrAfterEachTime) {
    CaptureOptions options;
    options.fps = 60;
    EXPECT_EQ(frameRangeOf(options).first, 0);
    EXPECT_EQ(frameRangeOf(options).end, INT64_MAX);

    options.fromMs = 1000;  // tick 1000 is frame 60 exactly
    options.toMs = 2000;    // frames with a tick before 2000: up to 119
    EXPECT_EQ(frameRangeOf(options).first, 60);
    EXPECT_EQ(frameRangeOf(options).end, 120);
    options.fromMs = 1001;  // frame 60 is at 1000, 61 at 1016
    options.toMs = 2001;    // frame 120 (tick 2000) is before it
    EXPECT_EQ(frameRangeOf(options).first, 61);
    EXPECT_EQ(frameRangeOf(options).end, 121);

    CaptureOptions frame;
    frame.fps = 30;
    frame.frameMs = 65000;
    EXPECT_EQ(frameRangeOf(frame).first, 1950);
    EXPECT_EQ(frameRangeOf(frame).end, 1951);
    frame.frameMs = 65001;  // frame 1950 is at 65000, 1951 at 65033
    EXPECT_EQ(frameRangeOf(frame).first, 1951);
    EXPECT_EQ(tickOfFrame(1951, 30), 65033u);
}

TEST(CaptureFrames, SoundSpansNeitherDriftNorOverlapAtAnyFrameRate) {
    for (const int fps : {7, 24, 25, 30, 50, 60, 144, 1000}) {
        std::int64_t total = 0;
        for (std::int64_t frame = 0; frame < 10LL * fps; ++frame) {
            const std::int64_t span = firstSampleOfFrame(frame + 1, fps) - firstSampleOfFrame(frame, fps);
            EXPECT_TRUE(span == 44100 / fps || span == 44100 / fps + 1) << fps << " fps, frame " << frame;
            total += span;
        }
        EXPECT_EQ(total, 10 * 44100) << fps << " fps";
    }
}

}  // namespace
