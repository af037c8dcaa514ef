// oyun-capture at the edges of where it writes: a file size limit, folders named like files,
// a PNG folder used again, outputs that are links, sizes beyond what the encoders take, and
// where the show's data is looked for without --data.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/capture_tool.h"
#include "tests/support/encoders.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// Five frames at 10 fps from 70 s: the rings of the third part, in the band a 288-row window
// keeps between its letterbox bars.
std::vector<std::string> shortCapture(std::vector<std::string> arguments, const std::string& size = "64x288") {
    arguments.insert(arguments.end(), {"--size", size, "--fps", "10", "--from", "70000", "--to", "70500", "--quiet",
                                       "--data", OYUN_DATA_DIR});
    return arguments;
}

std::vector<std::string> oneFrame(const std::string& output) {
    return {"--output", output, "--frame", "70000", "--size", "64x288", "--quiet", "--data", OYUN_DATA_DIR};
}

// Every entry, hidden ones too, sorted.
std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

bool isPng(const fs::path& path) { return readFileBytes(path).rfind("\x89PNG\r\n", 0) == 0; }

class CaptureEdges : public ::testing::Test {
protected:
    TempWorkingDir dir;
};

// Each output a little past the limit: the first write over it fails with EFBIG rather than
// killing the program, which then says so, removes what it staged and keeps the older file.
TEST_F(CaptureEdges, AFileSizeLimitFailsLikeAFullDiskAndLeavesNothing) {
    constexpr rlim_t kLimit = 2048;
    writeFileBytes("old.mp4", "old");
    struct Case {
        std::vector<std::string> arguments;
        std::string named;    // the output the message names
        std::string missing;  // encoders this FFmpeg lacks
    };
    const std::string mp4 = missingEncoders({"libx264", "aac"});
    const std::vector<Case> cases = {
        {shortCapture({"--output", "old.mp4"}), "old.mp4", mp4},
        {shortCapture({"--output", "clip.mkv"}), "clip.mkv", mp4},
        {shortCapture({"--output", "clip.webm"}), "clip.webm", missingEncoders({"libvpx-vp9", "libopus"})},
        {shortCapture({"--output", "frames/"}), "frames/frame_000700.png", ""},
        {oneFrame("f.png"), "f.png", ""},
    };
    std::string skipped;
    for (const Case& c : cases) {
        if (!c.missing.empty()) {
            skipped += c.named + ": " + c.missing + "; ";
            continue;
        }
        const ProgramRun run = runCaptureTool(c.arguments, kLimit);
        EXPECT_EQ(run.exitCode, 1) << c.named << ": " << run.errors;
        EXPECT_EQ(run.errors.rfind("oyun-capture: cannot ", 0), 0u) << run.errors;
        EXPECT_NE(run.errors.find((dir.path() / c.named).string() + ": file too large"), std::string::npos)
            << run.errors;
        EXPECT_EQ(lineCount(run.errors), 1u) << run.errors;
        EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"old.mp4"}) << c.named;
    }
    EXPECT_EQ(readFileBytes("old.mp4"), "old");

    // The same frames fit without the limit, and are larger than it.
    const ProgramRun free = runCaptureTool(shortCapture({"--output", "frames/"}));
    ASSERT_EQ(free.exitCode, 0) << free.errors;
    ASSERT_EQ(folderEntries("frames").size(), 5u);
    EXPECT_GT(fs::file_size("frames/frame_000700.png"), kLimit);
    if (!skipped.empty()) GTEST_SKIP() << "left out " << skipped;
}

TEST_F(CaptureEdges, AFolderNamedLikeAFileIsRefusedUntouched) {
    fs::create_directory("x.mp4");
    writeFileBytes("x.mp4/mine.txt", "mine");
    fs::create_directory("y.png");
    const ProgramRun video = runCaptureTool(shortCapture({"--output", "x.mp4"}));
    EXPECT_EQ(video.exitCode, 2) << video.errors;
    EXPECT_EQ(video.errors.rfind("oyun-capture: 'x.mp4' is a folder: write 'x.mp4/' for PNG frames in it", 0), 0u)
        << video.errors;
    EXPECT_NE(video.errors.find("\nUsage: oyun-capture "), std::string::npos) << video.errors;
    const ProgramRun frame = runCaptureTool(oneFrame("y.png"));
    EXPECT_EQ(frame.exitCode, 2) << frame.errors;
    EXPECT_EQ(frame.errors.rfind("oyun-capture: 'y.png' is a folder", 0), 0u) << frame.errors;
    EXPECT_EQ(folderEntries("x.mp4"), std::vector<std::string>{"mine.txt"});
    EXPECT_EQ(folderEntries("y.png"), std::vector<std::string>{});

    // Asked for as a folder, it takes the frames beside what it holds.
    const ProgramRun frames = runCaptureTool(shortCapture({"--output", "x.mp4/"}));
    ASSERT_EQ(frames.exitCode, 0) << frames.errors;
    EXPECT_EQ(folderEntries("x.mp4"),
              (std::vector<std::string>{"frame_000700.png", "frame_000701.png", "frame_000702.png", "frame_000703.png",
                                        "frame_000704.png", "mine.txt"}));
}

// A shorter capture into the folder of a longer one: frames after its last are the earlier
// capture's and go, once it has succeeded; earlier frames and every other file stay.
TEST_F(CaptureEdges, AReusedFolderLosesOnlyTheStaleFramesAndOnlyOnSuccess) {
    std::vector<std::string> longer = shortCapture({"--output", "frames/"});
    *std::find(longer.begin(), longer.end(), "70500") = "71000";
    ASSERT_EQ(runCaptureTool(longer).exitCode, 0);
    ASSERT_EQ(folderEntries("frames").size(), 10u);
    writeFileBytes("frames/keep.txt", "keep");
    writeFileBytes("frames/frame_12.png", "not one of ours");
    writeFileBytes("frames/frame_0000001.png", "not one of ours either");
    fs::create_directory("frames/frame_000800.png");  // named like a frame, but a folder
    const std::vector<std::string> before = folderEntries("frames");
    const std::string oldFrame = readFileBytes("frames/frame_000703.png");

    // Two frames from 70200 ms at another size, so that the new frames differ from the old.
    std::vector<std::string> shorter = shortCapture({"--output", "frames"}, "48x288");
    *std::find(shorter.begin(), shorter.end(), "70000") = "70200";
    const ProgramRun failed = runCaptureTool(shorter, 2048);
    EXPECT_EQ(failed.exitCode, 1) << failed.errors;
    EXPECT_EQ(folderEntries("frames"), before) << "a failed capture changed the folder";
    EXPECT_EQ(readFileBytes("frames/frame_000703.png"), oldFrame);

    const ProgramRun run = runCaptureTool(shorter);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors, "oyun-capture: 1 frame of an earlier capture after frame_000704.png stays in " +
                              (dir.path() / "frames").string() + ": is a directory\n");
    EXPECT_EQ(folderEntries("frames"),
              (std::vector<std::string>{"frame_0000001.png", "frame_000700.png", "frame_000701.png", "frame_000702.png",
                                        "frame_000703.png", "frame_000704.png", "frame_000800.png", "frame_12.png",
                                        "keep.txt"}));
    EXPECT_NE(readFileBytes("frames/frame_000703.png"), oldFrame) << "the frame was not written again";
    EXPECT_EQ(readFileBytes("frames/keep.txt"), "keep");
    EXPECT_EQ(readFileBytes("frames/frame_12.png"), "not one of ours");
}

TEST_F(CaptureEdges, ALinkIsWrittenThroughAndStays) {
    fs::create_directory("real");
    fs::create_directory("elsewhere");
    writeFileBytes("real/target.png", "old");
    fs::create_symlink("real/target.png", "link.png");
    // Two links, each relative to its own folder, to a file not there yet.
    fs::create_symlink("../elsewhere/new.png", "real/chain.png");
    fs::create_symlink("real/chain.png", "chained.png");

    for (const char* output : {"link.png", "chained.png"}) {
        const ProgramRun run = runCaptureTool(oneFrame(output));
        ASSERT_EQ(run.exitCode, 0) << output << ": " << run.errors;
    }
    EXPECT_EQ(fs::read_symlink("link.png"), "real/target.png");
    EXPECT_EQ(fs::read_symlink("chained.png"), "real/chain.png");
    EXPECT_EQ(fs::read_symlink("real/chain.png"), "../elsewhere/new.png");
    EXPECT_TRUE(isPng("real/target.png"));
    EXPECT_TRUE(isPng("elsewhere/new.png"));
    EXPECT_EQ(readFileBytes("real/target.png"), readFileBytes("elsewhere/new.png"));
    // Staged beside the file replaced, and nothing left of the staging anywhere.
    EXPECT_EQ(folderEntries("."), (std::vector<std::string>{"chained.png", "elsewhere", "link.png", "real"}));
    EXPECT_EQ(folderEntries("real"), (std::vector<std::string>{"chain.png", "target.png"}));
    EXPECT_EQ(folderEntries("elsewhere"), std::vector<std::string>{"new.png"});

    fs::create_symlink("loop2.png", "loop1.png");
    fs::create_symlink("loop1.png", "loop2.png");
    const ProgramRun loop = runCaptureTool(oneFrame("loop1.png"));
    EXPECT_EQ(loop.exitCode, 1);
    EXPECT_EQ(loop.errors, "oyun-capture: cannot write " + (dir.path() / "loop1.png").string() +
                               ": too many levels of symbolic links\n");

    if (const std::string missing = missingEncoders({"libx264", "aac"}); !missing.empty()) GTEST_SKIP() << missing;
    fs::create_symlink("real/clip.mp4", "clip.mp4");
    const ProgramRun video = runCaptureTool(shortCapture({"--output", "clip.mp4"}));
    ASSERT_EQ(video.exitCode, 0) << video.errors;
    EXPECT_TRUE(fs::is_symlink("clip.mp4"));
    EXPECT_EQ(readFileBytes("real/clip.mp4").substr(4, 4), "ftyp");
}

TEST_F(CaptureEdges, SizesBeyondWhatTheOutputTakesAreWrongArguments) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {shortCapture({"--output", "x.mp4"}, "16384x16384"), "video is at most 8192x8192, not 16384x16384"},
        {shortCapture({"--output", "x.webm"}, "8194x288"), "video is at most 8192x8192, not 8194x288"},
        {shortCapture({"--output", "x.mkv"}, "64x9000"), "video is at most 8192x8192, not 64x9000"},
        {shortCapture({"--output", "frames/"}, "16385x288"), "--size: takes WIDTHxHEIGHT, each from 1 to 16384"},
        {{"--output", "f.png", "--frame", "70000", "--size", "16384x16384", "--data", OYUN_DATA_DIR},
         "a PNG frame of 16384x16384 is beyond FFmpeg's picture size limit"},
    };
    for (const auto& [arguments, message] : cases) {
        const ProgramRun run = runCaptureTool(arguments);
        EXPECT_EQ(run.exitCode, 2) << message;
        EXPECT_EQ(run.errors.rfind("oyun-capture: " + message, 0), 0u) << run.errors;
        EXPECT_NE(run.errors.find("\nUsage: oyun-capture "), std::string::npos) << run.errors;
    }
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{});
}

// Without --data: ./data when it holds the whole show, before the build's own.
TEST_F(CaptureEdges, WithoutDataTheWorkingFoldersDataComesFirst) {
    fs::create_directory("data");
    for (const auto& entry : fs::directory_iterator(OYUN_DATA_DIR))
        if (entry.path().filename() != "mask.tga") fs::create_symlink(entry.path(), "data" / entry.path().filename());
    writeFileBytes("data/mask.tga", readFileBytes(fs::path(OYUN_DATA_DIR) / "mask.tga").substr(0, 40));
    std::vector<std::string> arguments = oneFrame("f.png");
    arguments.resize(arguments.size() - 2);  // no --data
    const ProgramRun damaged = runCaptureTool(arguments);
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_EQ(damaged.errors.rfind("oyun-capture: the show cannot be set up from " + (dir.path() / "data").string(), 0),
              0u)
        << damaged.errors;

    // A folder without the music is not the show's data: the build's is used.
    fs::remove("data/music.wma");
    const ProgramRun run = runCaptureTool(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(isPng("f.png"));
}

}  // namespace
