// oyun-capture sharing its work: --jobs in worker processes, --segment and --join, each
// against the same span captured in one piece, and what a failure or interrupt leaves.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/capture_tool.h"
#include "tests/support/encoders.h"
#include "tests/support/image_test_tools.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

extern "C" {
#include <libavformat/avformat.h>
}

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

ProgramRun capture(std::vector<std::string> arguments) {
    arguments.push_back("--quiet");
    return runCaptureTool(withData(std::move(arguments)));
}

// 30 frames at 50 fps in scene 1, where the tower turns: every frame differs.
std::vector<std::string> span(std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), {"--size", "96x72", "--from", "20000", "--to", "20600"});
    return arguments;
}

// A video file's packets as a join must keep them: the pictures' times, key frames first in
// each part, and the sound's packets byte for byte.
struct Packets {
    std::vector<std::int64_t> videoTimes;  // pts in the stream's time base
    std::vector<bool> keys;
    std::string sound;
    std::vector<std::int64_t> soundTimes;
};

Packets readPackets(const fs::path& path) {
    Packets packets;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return packets;
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(format, packet) >= 0) {
        if (format->streams[packet->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            packets.videoTimes.push_back(packet->pts);
            packets.keys.push_back((packet->flags & AV_PKT_FLAG_KEY) != 0);
        } else {
            packets.sound.append(reinterpret_cast<const char*>(packet->data), static_cast<std::size_t>(packet->size));
            packets.soundTimes.push_back(packet->pts);
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return packets;
}

double meanDifference(const std::string& a, const std::string& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += std::abs(int{static_cast<unsigned char>(a[i])} - int{static_cast<unsigned char>(b[i])});
    return sum / static_cast<double>(std::max<std::size_t>(a.size(), 1));
}

// `joined` holds the frames of `whole` (a capture in one piece) in the same times, its key
// frames where the parts start, its pictures within what encoding moves, and the same sound.
void expectSameCapture(const fs::path& joined, const fs::path& whole, const std::vector<int>& partStarts) {
    const Packets a = readPackets(joined);
    const Packets b = readPackets(whole);
    ASSERT_EQ(b.videoTimes.size(), 30u);
    EXPECT_EQ(a.videoTimes, b.videoTimes) << joined;
    for (const int start : partStarts) EXPECT_TRUE(a.keys.at(static_cast<std::size_t>(start))) << start;
    EXPECT_FALSE(b.sound.empty());
    EXPECT_TRUE(a.sound == b.sound) << joined << ": the sound differs";
    EXPECT_EQ(a.soundTimes, b.soundTimes) << joined;
    const std::string pictures = ffmpegDecode(joined.string(), "rgb24");
    const std::string expected = ffmpegDecode(whole.string(), "rgb24");
    ASSERT_EQ(expected.size(), 30u * 96 * 72 * 3);
    ASSERT_EQ(pictures.size(), expected.size()) << joined;
    EXPECT_LT(meanDifference(pictures, expected), 2.0) << joined;
}

class CaptureJobs : public ::testing::Test {
protected:
    TempWorkingDir dir;
};

TEST_F(CaptureJobs, PngFramesOfWorkersAndOfSegmentsAreTheOnePieceFrames) {
    ASSERT_EQ(capture(span({"--output", "one/", "--jobs", "1"})).exitCode, 0);
    const ProgramRun three = capture(span({"--output", "three/", "--jobs", "3"}));
    ASSERT_EQ(three.exitCode, 0) << three.errors;
    // Segments into one folder, the last first: no part takes another's frames for stale ones.
    for (const char* part : {"3/3", "1/3", "2/3"}) {
        const ProgramRun run = capture(span({"--output", "parts/", "--segment", part}));
        ASSERT_EQ(run.exitCode, 0) << run.errors;
    }
    const std::vector<std::string> names = folderEntries("one");
    ASSERT_EQ(names.size(), 30u);
    EXPECT_EQ(names.front(), "frame_001000.png");
    EXPECT_EQ(folderEntries("three"), names);
    EXPECT_EQ(folderEntries("parts"), names);
    for (const std::string& name : names) {
        const std::string expected = readFileBytes("one/" + name);
        EXPECT_TRUE(readFileBytes("three/" + name) == expected) << name;
        EXPECT_TRUE(readFileBytes("parts/" + name) == expected) << name;
    }
}

TEST_F(CaptureJobs, VideoOfWorkersAndOfJoinedSegmentsIsTheOnePieceVideo) {
    if (const std::string missing = missingEncoders({"libx264", "aac"}); !missing.empty()) GTEST_SKIP() << missing;
    ASSERT_EQ(capture(span({"--output", "one.mp4", "--jobs", "1"})).exitCode, 0);
    const ProgramRun three = capture(span({"--output", "three.mp4", "--jobs", "3"}));
    ASSERT_EQ(three.exitCode, 0) << three.errors;
    std::vector<std::string> join = {"--join"};
    for (const char* part : {"1/3", "2/3", "3/3"}) {
        const std::string name = std::string("part-") + part[0] + ".mkv";
        const ProgramRun run = capture(span({"--output", name, "--segment", part}));
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        join.push_back(name);
    }
    std::reverse(join.begin() + 1, join.end());  // the order given does not matter
    join.insert(join.end(), {"--output", "joined.mp4"});
    const ProgramRun joined = capture(join);
    ASSERT_EQ(joined.exitCode, 0) << joined.errors;
    expectSameCapture("three.mp4", "one.mp4", {0, 10, 20});
    expectSameCapture("joined.mp4", "one.mp4", {0, 10, 20});
}

TEST_F(CaptureJobs, PartsThatDoNotMakeOneSpanAreRefused) {
    if (const std::string missing = missingEncoders({"libvpx-vp9", "libopus"}); !missing.empty())
        GTEST_SKIP() << missing;
    for (const char* part : {"1/3", "2/3", "3/3"}) {
        const ProgramRun run = capture(span({"--output", std::string("p") + part[0] + ".webm", "--segment", part}));
        ASSERT_EQ(run.exitCode, 0) << run.errors;
    }
    ASSERT_EQ(
        capture({"--output", "wide3.webm", "--segment", "3/3", "--size", "128x72", "--from", "20000", "--to", "20600"})
            .exitCode,
        0);
    ASSERT_EQ(capture(span({"--output", "gles3.webm", "--segment", "3/3", "--renderer", "gles3"})).exitCode, 0);
    ASSERT_EQ(capture(span({"--output", "whole.webm", "--jobs", "1"})).exitCode, 0);
    const std::string bytes = readFileBytes("p2.webm");
    writeFileBytes("cut2.webm", bytes.substr(0, bytes.size() * 2 / 3));
    // Other data: one byte of one picture changed.
    fs::copy(OYUN_DATA_DIR, "other", fs::copy_options::recursive);
    std::string picture = readFileBytes("other/ball.tga");
    picture.back() = static_cast<char>(picture.back() ^ 1);
    writeFileBytes("other/ball.tga", picture);

    struct Case {
        std::vector<std::string> arguments;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"p1.webm", "p3.webm"}, "part 2 of 3 is missing (frames 1010-1020)"},
        {{"p1.webm", "p2.webm", "p2.webm", "p3.webm"}, "part 2 of 3 is given twice (p2.webm and p2.webm)"},
        {{"p1.webm", "p2.webm", "wide3.webm"}, "p1.webm and wide3.webm differ in size (96x72, 128x72)"},
        {{"p1.webm", "p2.webm", "gles3.webm"}, "p1.webm and gles3.webm differ in renderer (gl11, gles3)"},
        {{"p1.webm", "whole.webm", "p3.webm"}, "whole.webm is not a segment written by oyun-capture --segment"},
        {{"p1.webm", "cut2.webm", "p3.webm"}, "cut2.webm is incomplete"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"--join"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        arguments.insert(arguments.end(), {"--output", "show.webm"});
        const ProgramRun run = capture(arguments);
        EXPECT_EQ(run.exitCode, 1) << c.says;
        EXPECT_NE(run.errors.find(c.says), std::string::npos) << run.errors;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
        EXPECT_FALSE(fs::exists("show.webm")) << c.says;
    }
    const ProgramRun otherShow = runProgram({OYUN_CAPTURE_TOOL, "--join", "p1.webm", "p2.webm", "p3.webm", "--output",
                                             "show.webm", "--data", "other", "--quiet"});
    EXPECT_EQ(otherShow.exitCode, 1);
    EXPECT_NE(otherShow.errors.find("is not the one the segments were rendered from"), std::string::npos)
        << otherShow.errors;
    const ProgramRun h264 = capture({"--join", "p1.webm", "p2.webm", "p3.webm", "--output", "show.mp4"});
    EXPECT_EQ(h264.exitCode, 1);
    EXPECT_NE(h264.errors.find("takes H.264 segments"), std::string::npos) << h264.errors;
    EXPECT_EQ(capture({"--join", "p1.webm", "p2.webm", "p3.webm", "--output", "show.webm"}).exitCode, 0);
}

// A worker past the file size limit fails the capture; an interrupt stops every worker. Either
// way nothing is left: no output, no parts, no worker still running.
TEST_F(CaptureJobs, AFailedWorkerOrAnInterruptLeavesNothing) {
    if (const std::string missing = missingEncoders({"libx264", "aac"}); !missing.empty()) GTEST_SKIP() << missing;
    std::vector<std::string> arguments =
        withData({"--output", "show.mp4", "--size", "160x120", "--from", "20000", "--to", "24000", "--jobs", "2"});
    arguments.push_back("--quiet");
    const ProgramRun limited = runCaptureTool(arguments, 8 * 1024);
    EXPECT_EQ(limited.exitCode, 1);
    EXPECT_NE(limited.errors.find(" of 2 failed: "), std::string::npos) << limited.errors;
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{});

    arguments[5] = "0";
    arguments[7] = "60000";
    arguments.insert(arguments.begin(), OYUN_CAPTURE_TOOL);
    // Interrupted once the workers write their parts.
    fs::path parts;
    const InterruptedRun run = interruptWhen(
        arguments,
        [&] {
            for (const auto& entry : fs::directory_iterator(dir.path()))
                if (entry.is_directory() && !fs::is_empty(entry.path())) parts = entry.path();
            return !parts.empty();
        },
        SIGTERM);
    EXPECT_TRUE(run.wasReady) << "no parts were written";
    EXPECT_EQ(run.exitStatus, 128 + SIGTERM) << "the capture did not end by itself on the signal";
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{});
    // No process is left with the parts folder on its command line.
    for (const auto& process : fs::directory_iterator("/proc")) {
        std::ifstream commandLine(process.path() / "cmdline", std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(commandLine)), std::istreambuf_iterator<char>());
        EXPECT_EQ(parts.empty() ? std::string::npos : text.find(parts.filename().string()), std::string::npos)
            << process.path();
    }
}

}  // namespace
