// oyun-capture's command line, the frames it chooses and the sound span of each frame.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "demo/offscreen_show.h"
#include "tests/support/command_line_run.h"
#include "tests/support/temp_dir.h"
#include "tools/capture/plan/capture_options.h"
#include "tools/capture/plan/frames.h"
#include "tools/capture/plan/limits.h"
#include "tools/capture/program/command_line.h"

namespace {

using Parsed = testing_support::ParsedCommandLine<CaptureOptions>;

// The command line as the program reads it, with what it prints and reports.
Parsed parse(const std::vector<std::string>& arguments) {
    return testing_support::parseCommandLineOf<CaptureOptions>("oyun-capture", arguments,
                                                               [](int argc, char** argv, CaptureOptions& options) {
                                                                   CaptureCommandLine commandLine;
                                                                   return commandLine.parse(argc, argv, options);
                                                               });
}

TEST(CaptureArguments, DefaultsAreTheWholeShowAt1024x768And50Fps) {
    const Parsed p = parse({"--output", "show.mp4"});
    ASSERT_EQ(p.status, std::nullopt) << p.error;
    EXPECT_EQ(p.options.output, "show.mp4");
    EXPECT_EQ(p.options.kind, OutputKind::kMp4);
    EXPECT_EQ(p.options.fps, 50);
    EXPECT_EQ(p.options.width, 1024);
    EXPECT_EQ(p.options.height, 768);
    EXPECT_FALSE(p.options.fromMs || p.options.toMs || p.options.frameMs);
    EXPECT_EQ(p.options.dataDir, "") << "without --data the program searches";
    EXPECT_FALSE(p.options.quiet);
    EXPECT_EQ(p.options.supersample, 1);
    EXPECT_EQ(p.options.renderer, gfx::RendererKind::kGl11);
    EXPECT_FALSE(p.options.renderOnly);
    EXPECT_EQ(p.out + p.err, "");
}

TEST(CaptureArguments, EveryOptionIsRead) {
    // Leading zeros are decimal, never octal.
    const Parsed p = parse({"--fps", "030", "--size", "640x480", "--from", "01500", "--to=9000", "--data", "d",
                            "--quiet", "--supersample", "3", "--renderer", "gles3", "--output=clip.webm"});
    ASSERT_EQ(p.status, std::nullopt) << p.error;
    EXPECT_EQ(p.options.kind, OutputKind::kWebM);
    EXPECT_EQ(p.options.fps, 30);
    EXPECT_EQ(p.options.width, 640);
    EXPECT_EQ(p.options.height, 480);
    EXPECT_EQ(p.options.fromMs, 1500);
    EXPECT_EQ(p.options.toMs, 9000);
    EXPECT_EQ(p.options.dataDir, "d");
    EXPECT_TRUE(p.options.quiet);
    EXPECT_EQ(p.options.supersample, 3);
    EXPECT_EQ(p.options.renderer, gfx::RendererKind::kGles3);
    EXPECT_EQ(p.options.jobs, 0) << "the machine's cores unless asked";

    const Parsed shared = parse({"--jobs", "01", "--segment", "2/5", "--report-frames", "--output", "part.mkv"});
    ASSERT_EQ(shared.status, std::nullopt) << shared.error;
    EXPECT_EQ(shared.options.jobs, 1);
    ASSERT_TRUE(shared.options.segment);
    EXPECT_EQ(shared.options.segment->part, 2);
    EXPECT_EQ(shared.options.segment->parts, 5);
    EXPECT_TRUE(shared.options.reportFrames);
    const Parsed join = parse({"--join", "a.mkv", "b.mkv", "--output", "show.mp4"});
    ASSERT_EQ(join.status, std::nullopt) << join.error;
    EXPECT_EQ(join.options.joinParts, (std::vector<std::filesystem::path>{"a.mkv", "b.mkv"}));

    const Parsed frame = parse({"--frame", "65000", "--output", "f.png"});
    ASSERT_EQ(frame.status, std::nullopt) << frame.error;
    EXPECT_EQ(frame.options.kind, OutputKind::kPngFrame);
    EXPECT_EQ(frame.options.frameMs, 65000);
    EXPECT_FALSE(frame.options.fromMs || frame.options.toMs);
}

TEST(CaptureArguments, HelpAndVersionAnswerOnStdout) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--output", "x.mp4", "--help"}, {"-h"}, {"--bogus", "--help"}}) {
        const Parsed help = parse(arguments);
        EXPECT_EQ(help.status, 0) << arguments[0];
        EXPECT_NE(help.out.find("Usage: oyun-capture --output FILE.mp4"), std::string::npos) << help.out;
        for (const char* option :
             {"--output", "--fps", "--size", "--from", "--to", "--frame", "--data", "--quiet", "--supersample"})
            EXPECT_NE(help.out.find(option), std::string::npos) << option;
        EXPECT_NE(help.out.find("Exit status:"), std::string::npos);
        EXPECT_EQ(help.err, "");
    }
    const Parsed version = parse({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, base::versionLine() + "\n");
}

TEST(CaptureArguments, TheOutputNameSaysWhatIsWritten) {
    EXPECT_EQ(outputKindOf("a.mp4"), OutputKind::kMp4);
    EXPECT_EQ(outputKindOf("a.MKV"), OutputKind::kMkv);
    EXPECT_EQ(outputKindOf("dir.x/a.webm"), OutputKind::kWebM);
    EXPECT_EQ(outputKindOf("a.Png"), OutputKind::kPngFrame);
    EXPECT_EQ(outputKindOf("frames/"), OutputKind::kPngFolder);
    EXPECT_EQ(outputKindOf("frames.mp4/"), OutputKind::kPngFolder);
    EXPECT_EQ(outputKindOf("a.avi"), std::nullopt);
    EXPECT_EQ(outputKindOf("frames"), std::nullopt);

    testing_support::TempWorkingDir dir;
    std::filesystem::create_directory("existing");
    EXPECT_EQ(outputKindOf("existing"), OutputKind::kPngFolder);
    // The name decides: the option check then refuses a folder named like a file.
    std::filesystem::create_directory("clip.mp4");
    EXPECT_EQ(outputKindOf("clip.mp4"), OutputKind::kMp4);
}

TEST(CaptureArguments, MistakesAreOneLineEach) {
    testing_support::TempWorkingDir dir;
    std::filesystem::create_directory("x.mp4");
    std::filesystem::create_directory("still.png");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "--output is required"},
        {{"--output"}, "--output: needs a value"},
        {{"--output", ""}, "--output: needs a value"},
        {{"--output", "--quiet"}, "--output: needs a value, not the option --quiet"},
        {{"--output", "y.mp4", "--data", "--quiet"}, "--data: needs a value, not the option --quiet"},
        {{"--output", "y.mp4", "--data="}, "--data: needs a value"},
        {{"--output", "y.mp4", "--data", ""}, "--data: needs a value"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"--output", "y.mp4", "--speed", "2"}, "unknown option --speed; unexpected argument 2"},
        {{"--output", "y.mp4", "extra"}, "unexpected argument extra"},
        {{"--output", "y.avi"}, "cannot tell what to write to 'y.avi'"},
        {{"--output", "frames"}, "cannot tell what to write to 'frames'"},
        {{"--output", "x.mp4"}, "'x.mp4' is a folder: write 'x.mp4/' for PNG frames in it"},
        {{"--output", "still.png", "--frame", "100"}, "'still.png' is a folder"},
        {{"--output", "y.mp4", "--fps", "0"}, "--fps: '0' is not a whole number from 1 to 1000"},
        {{"--output", "y.mp4", "--fps", "1001"}, "--fps: '1001' is not a whole number"},
        {{"--output", "y.mp4", "--fps", "30fps"}, "--fps: '30fps' is not a whole number"},
        {{"--output", "y.mp4", "--fps", "-5"}, "--fps: '-5' is not a whole number"},
        {{"--output", "y.mp4", "--size", "640"}, "--size: takes WIDTHxHEIGHT"},
        {{"--output", "y.mp4", "--size", "0x480"}, "--size: takes WIDTHxHEIGHT"},
        {{"--output", "y.mp4", "--size", "640x"}, "--size: takes WIDTHxHEIGHT"},
        {{"--output", "y.mp4", "--size", "640x480x2"}, "--size: takes WIDTHxHEIGHT"},
        {{"--output", "frames/", "--size", "16385x480"}, "--size: takes WIDTHxHEIGHT, each from 1 to 16384"},
        {{"--output", "y.mp4", "--size", "20000x480"}, "--size: takes WIDTHxHEIGHT"},
        {{"--output", "y.mp4", "--size", "16384x16384"}, "video is at most 8192x8192, not 16384x16384"},
        {{"--output", "y.png", "--frame", "0", "--size", "16384x16384"},
         "a PNG frame of 16384x16384 is beyond FFmpeg's picture size limit"},
        {{"--output", "frames/", "--size", "16384x16129"}, "a PNG frame of 16384x16129 is beyond"},
        {{"--output", "y.webm", "--size", "640x8194"}, "video is at most 8192x8192, not 640x8194"},
        {{"--output", "y.mkv", "--size", "8193x480"}, "video is at most 8192x8192"},
        {{"--output", "y.mp4", "--from", "-1"}, "--from: '-1' is not a number of milliseconds"},
        {{"--output", "y.mp4", "--to", "1.5"}, "--to: '1.5' is not a number of milliseconds"},
        {{"--output", "y.png", "--frame", "86400001"},
         "--frame: '86400001' is not a number of milliseconds from 0 to 86400000"},
        {{"--output", "y.mp4", "--from", "2000", "--to", "2000"}, "--to (2000) must come after --from (2000)"},
        {{"--output", "y.mp4", "--to", "0"}, "no frame at 50 fps falls before --to (0)"},
        {{"--output", "y.mp4", "--from", "1001", "--to", "1010"},
         "no frame at 50 fps falls before --to (1010) from --from (1001)"},
        {{"--output", "y.mp4", "--quiet=maybe"}, "--quiet: takes no value, not 'maybe'"},
        {{"--output", "y.mp4", "--frame", "100"}, "--frame writes one PNG: --output must end in .png"},
        {{"--output", "y.png", "--frame", "100", "--from", "50"}, "--frame takes one frame"},
        {{"--output", "y.png"}, "a .png output is one frame"},
        {{"--output", "y.mp4", "--size", "161x120"}, "video needs an even width and height, not 161x120"},
        {{"--output", "y.webm", "--size", "160x121"}, "video needs an even width and height"},
        {{"--output", "y.mp4", "--supersample", "0"}, "--supersample: '0' is not a whole number from 1 to 4"},
        {{"--output", "y.mp4", "--supersample", "5"}, "--supersample: '5' is not a whole number from 1 to 4"},
        {{"--output", "y.mp4", "--supersample", "two"}, "--supersample: 'two' is not a whole number"},
        {{"--output", "frames/", "--size", "1x480", "--supersample", "2"},
         "--supersample needs a picture of at least 2x2, not 1x480"},
        {{"--output", "y.mp4", "--jobs", "0"}, "--jobs: '0' is not a whole number from 1 to 256"},
        {{"--output", "y.mkv", "--segment", "4/3"}, "--segment: takes K/N, part K of N with 1 <= K <= N"},
        {{"--output", "y.mkv", "--segment", "1"}, "--segment: takes K/N"},
        {{"--output", "y.mp4", "--segment", "1/3"}, "a segment is written to FILE.mkv (H.264), FILE.webm (VP9)"},
        {{"--output", "y.mkv", "--segment", "1/3", "--jobs", "2"}, "a segment is rendered by one process"},
        {{"--output", "y.mp4", "--join"}, "--join: needs a value"},
        {{"--output", "y.mp4", "--join", "a.mkv", "--fps", "30"},
         "--join takes the span, size and rate from its segments, not from --fps"},
        {{"--output", "frames/", "--join", "a.mkv"}, "--join writes a video: --output must end in .mp4"},
        {{"--output", "frames/", "--size", "8192x4096", "--supersample", "3"},
         "--supersample 3 draws 24576x12288, more than the 16384x16384 this machine can draw; take --supersample 2 "
         "or less"},
    };
    for (const auto& [arguments, message] : cases) {
        std::string joined;
        for (const std::string& argument : arguments) joined += argument + " ";
        const Parsed p = parse(arguments);
        EXPECT_EQ(p.status, 2) << joined;
        EXPECT_EQ(p.error.rfind(message, 0), 0u) << joined << "-> " << p.error;
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << joined;
        // The usage follows on stderr: both ways of calling the program, and where to read more.
        EXPECT_EQ(p.err.rfind("Usage: oyun-capture --output FILE.mp4", 0), 0u) << joined << "-> " << p.err;
        EXPECT_NE(p.err.find("--frame MS"), std::string::npos) << joined;
        EXPECT_EQ(p.out, "") << joined;
    }
}

TEST(CaptureArguments, SizesUpToWhatEachOutputTakes) {
    testing_support::TempWorkingDir dir;
    std::filesystem::create_directory("x.mp4");
    const std::vector<std::vector<std::string>> fine = {
        {"--output", "frames/", "--size", "161x121"},
        {"--output", "f.png", "--frame", "0", "--size", "1x1"},
        {"--output", "f.png", "--frame", "0", "--size", "16255x16255"},
        {"--output", "frames/", "--size", "16384x16128"},
        {"--output", "frames/", "--size", "16384x2"},
        {"--output", "y.mp4", "--size", "8192x8192"},
        {"--output", "y.webm", "--size", "2x8192"},
        {"--output", "x.mp4/", "--size", "9000x9000"},  // a folder of that name, asked for as one
        {"--output", "frames/", "--size", "4096x4096", "--supersample", "4"},
    };
    for (const std::vector<std::string>& arguments : fine) {
        const Parsed p = parse(arguments);
        EXPECT_EQ(p.status, std::nullopt) << arguments[1] << " " << arguments.back() << ": " << p.error;
    }
    EXPECT_EQ(parse({"--output", "x.mp4/"}).options.kind, OutputKind::kPngFolder);

    // What only the OpenGL of the machine can say.
    EXPECT_EQ(sizeBeyondDrawing(16384, 16384, {16384, 16384}), "");
    EXPECT_EQ(sizeBeyondDrawing(8192, 100, {8192, 8192}), "");
    EXPECT_EQ(sizeBeyondDrawing(8193, 100, {8192, 8192}), "this OpenGL draws at most 8192x8192, not 8193x100");
    EXPECT_EQ(sizeBeyondDrawing(100, 4097, {8192, 4096}), "this OpenGL draws at most 8192x4096, not 100x4097");
    // Supersampled, the drawn size must fit, and the message points at the factor.
    EXPECT_EQ(sizeBeyondDrawing(2048, 1024, {8192, 4096}, 4), "");
    EXPECT_EQ(sizeBeyondDrawing(2048, 1536, {4096, 4096}, 3),
              "--supersample 3 draws 6144x4608, more than the 4096x4096 this machine can draw; take --supersample 2 or "
              "less, or a smaller --size");
    EXPECT_EQ(sizeBeyondDrawing(100, 3000, {4096, 4096}, 2),
              "--supersample 2 draws 200x6000, more than the 4096x4096 this machine can draw; take --supersample 1, "
              "or a smaller --size");
    EXPECT_EQ(sizeBeyondDrawing(5000, 100, {4096, 4096}, 2), "this OpenGL draws at most 4096x4096, not 5000x100");
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

// The animation reads the clock in 20 ms steps: the warning must come exactly where frames
// do not each move it by the same number of steps, and say what they do.
TEST(CaptureFrames, RatesThatMissTheAnimationStepAreWarnedOf) {
    for (int fps = 1; fps <= 1000; ++fps) {
        std::int64_t firstAdvance = -1;
        bool even = true;
        for (std::int64_t frame = 0; frame < 2LL * fps; ++frame) {
            const std::int64_t advance = tickOfFrame(frame + 1, fps) / 20 - tickOfFrame(frame, fps) / 20;
            if (firstAdvance < 0) firstAdvance = advance;
            even = even && advance == firstAdvance && advance > 0;
        }
        EXPECT_EQ(animationStepWarning(fps).empty(), even) << fps << " fps: " << animationStepWarning(fps);
    }
    const struct {
        int fps;
        const char* says;
    } kCases[] = {
        {60,
         "at 60 fps the animation moves in 20 ms steps, so 1 frame in 6 repeats the one before; 50 fps (or 25) "
         "moves it every frame by the same amount"},
        {100, "at 100 fps the animation moves in 20 ms steps, so 1 frame in 2 repeats the one before;"},
        {120, "at 120 fps the animation moves in 20 ms steps, so 7 frames in 12 repeat the one before;"},
        {30, "at 30 fps the animation moves in 20 ms steps, so frames move it unevenly, by 1 or 2 steps;"},
        {24, "at 24 fps the animation moves in 20 ms steps, so frames move it unevenly, by 2 or 3 steps;"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(animationStepWarning(c.fps).rfind(c.says, 0), 0u) << animationStepWarning(c.fps);
}

}  // namespace
