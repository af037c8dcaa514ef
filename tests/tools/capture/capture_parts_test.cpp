// The pieces under oyun-capture: the frame queue between rendering and encoding, outputs
// staged beside their targets, and the progress line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tools/capture/output/png_frames.h"
#include "tools/capture/output/staged_output.h"
#include "tools/capture/program/progress_bar.h"
#include "tools/capture/render/frame_pipe.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// The state of thread `tid` of this process as the kernel tells it: 'S' while it sleeps.
char threadState(pid_t tid) {
    std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t name = text.rfind(')');
    return name == std::string::npos || name + 2 >= text.size() ? '?' : text[name + 2];
}

// Waits until the thread that published its id in `tid` just before calling into the pipe
// sleeps there, or `done` says the call came back; false when neither happens in 30 s. A
// fixed pause would prove nothing when the thread has not even started by then.
bool asleepInThePipe(const std::atomic<pid_t>& tid, const std::atomic<bool>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < end) {
        if (done || (tid != 0 && threadState(tid) == 'S')) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

TEST(CaptureFramePipe, FramesArriveInOrderAndBuffersAreReused) {
    FramePipe<int> pipe(3);
    std::vector<int*> seen;
    std::vector<int> values;
    std::thread consumer([&] {
        while (int* buffer = pipe.next()) {
            seen.push_back(buffer);
            values.push_back(*buffer);
            pipe.release(buffer);
        }
    });
    for (int i = 0; i < 100; ++i) {
        int* buffer = pipe.acquire();
        ASSERT_NE(buffer, nullptr);
        *buffer = i;
        pipe.submit(buffer);
    }
    pipe.close();
    consumer.join();
    ASSERT_EQ(values.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(values[static_cast<std::size_t>(i)], i);
    for (int* buffer : seen) {
        EXPECT_GE(buffer, pipe.buffers().data());
        EXPECT_LT(buffer, pipe.buffers().data() + 3);
    }
}

TEST(CaptureFramePipe, TheProducerWaitsOnlyWhenEveryBufferIsTaken) {
    FramePipe<int> pipe(2);
    pipe.submit(pipe.acquire());
    int* held = pipe.acquire();
    ASSERT_NE(held, nullptr);
    std::atomic<pid_t> tid{0};
    std::atomic<bool> got{false};
    std::thread producer([&] {
        tid = gettid();
        pipe.acquire();
        got = true;
    });
    EXPECT_TRUE(asleepInThePipe(tid, got));
    EXPECT_FALSE(got) << "a third buffer came out of a pipe of two";
    pipe.release(held);
    producer.join();
    EXPECT_TRUE(got);
}

TEST(CaptureFramePipe, StoppingFreesBothSides) {
    FramePipe<int> pipe(1);
    int* only = pipe.acquire();
    std::atomic<pid_t> producerTid{0};
    std::atomic<pid_t> consumerTid{0};
    std::atomic<bool> producerBack{false};
    std::atomic<bool> consumerBack{false};
    std::thread producer([&] {
        producerTid = gettid();
        EXPECT_EQ(pipe.acquire(), nullptr);
        producerBack = true;
    });
    std::thread consumer([&] {
        consumerTid = gettid();
        EXPECT_EQ(pipe.next(), nullptr);
        consumerBack = true;
    });
    // Both wait in the pipe when it stops: neither has anything to take.
    EXPECT_TRUE(asleepInThePipe(producerTid, producerBack));
    EXPECT_TRUE(asleepInThePipe(consumerTid, consumerBack));
    EXPECT_FALSE(producerBack || consumerBack) << "a side came back from an empty pipe";
    pipe.stop();
    producer.join();
    consumer.join();
    EXPECT_TRUE(pipe.stopped());
    pipe.submit(only);
    EXPECT_EQ(pipe.next(), nullptr) << "a stopped consumer still got frames";
}

TEST(CaptureFramePipe, ClosingDrainsWhatIsQueued) {
    FramePipe<int> pipe(2);
    int* a = pipe.acquire();
    int* b = pipe.acquire();
    pipe.submit(a);
    pipe.submit(b);
    pipe.close();
    EXPECT_EQ(pipe.next(), a);
    EXPECT_EQ(pipe.next(), b);
    EXPECT_EQ(pipe.next(), nullptr);
}

TEST(CaptureStaging, AFileAppearsUnderItsNameOnlyWhenCommitted) {
    TempWorkingDir dir;
    const fs::path target = dir.path() / "show.mp4";
    writeFileBytes(target, "old");
    std::string error;
    {
        auto staged = StagedFile::create(target, error);
        ASSERT_NE(staged, nullptr) << error;
        writeFileBytes(staged->temporary(), "half");
        EXPECT_EQ(staged->temporary().parent_path(), dir.path());
    }
    EXPECT_EQ(readFileBytes(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    const mode_t previousMask = umask(022);
    auto staged = StagedFile::create(target, error);
    ASSERT_NE(staged, nullptr) << error;
    writeFileBytes(staged->temporary(), "new");
    ASSERT_TRUE(staged->commit(error)) << error;
    umask(previousMask);
    staged.reset();
    EXPECT_EQ(readFileBytes(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(CaptureStaging, AnUnwritablePlaceFailsAtOnce) {
    TempWorkingDir dir;
    writeFileBytes("plain", "x");
    std::string error;
    EXPECT_EQ(StagedFile::create(dir.path() / "missing" / "x.mp4", error), nullptr);
    EXPECT_EQ(error, "cannot write " + (dir.path() / "missing" / "x.mp4").string() + ": no such file or directory");
    EXPECT_EQ(StagedFile::create(dir.path() / "plain" / "x.mp4", error), nullptr);
    EXPECT_EQ(error, "cannot write " + (dir.path() / "plain" / "x.mp4").string() + ": not a directory");
    EXPECT_EQ(StagedFolder::create(dir.path() / "missing" / "frames", error), nullptr);
    EXPECT_NE(error.find("cannot make the folder"), std::string::npos) << error;
}

TEST(CaptureStaging, AFolderKeepsWhatWasThereAndLosesWhatFailed) {
    TempWorkingDir dir;
    std::string error;
    {
        auto made = StagedFolder::create(dir.path() / "new", error);
        ASSERT_NE(made, nullptr) << error;
        writeFileBytes(made->staged("frame_000000.png"), "x");
    }
    EXPECT_FALSE(fs::exists(dir.path() / "new")) << "a folder made by a failed run stayed";

    fs::create_directory(dir.path() / "old");
    writeFileBytes(dir.path() / "old" / "keep.txt", "keep");
    writeFileBytes(dir.path() / "old" / "frame_000001.png", "old frame");
    {
        auto failed = StagedFolder::create(dir.path() / "old", error);
        ASSERT_NE(failed, nullptr) << error;
        writeFileBytes(failed->staged("frame_000001.png"), "new frame");
    }
    EXPECT_EQ(readFileBytes(dir.path() / "old" / "frame_000001.png"), "old frame");

    auto folder = StagedFolder::create(dir.path() / "old", error);
    ASSERT_NE(folder, nullptr) << error;
    writeFileBytes(folder->staged("frame_000001.png"), "new frame");
    writeFileBytes(folder->staged("frame_000002.png"), "frame 2");
    EXPECT_FALSE(fs::exists(dir.path() / "old" / "frame_000002.png"));
    ASSERT_TRUE(folder->commit({"frame_000001.png", "frame_000002.png"}, error)) << error;
    folder.reset();
    EXPECT_EQ(readFileBytes(dir.path() / "old" / "keep.txt"), "keep");
    EXPECT_EQ(readFileBytes(dir.path() / "old" / "frame_000001.png"), "new frame");
    EXPECT_EQ(readFileBytes(dir.path() / "old" / "frame_000002.png"), "frame 2");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "old"), fs::directory_iterator()), 3)
        << "the staging folder stayed";
}

// Only names the capture itself gives are taken for its frames: a folder used again loses
// nothing else.
TEST(CaptureStaging, OnlyTheCapturesOwnNamesAreFrames) {
    const std::vector<std::pair<std::string, std::optional<std::int64_t>>> names = {
        {"frame_000000.png", 0},
        {"frame_000709.png", 709},
        {"frame_1234567.png", 1234567},
        {"frame_12.png", std::nullopt},
        {"frame_0000001.png", std::nullopt},
        {"frame_00007a.png", std::nullopt},
        {"frame_-00001.png", std::nullopt},
        {"frame_+00001.png", std::nullopt},
        {"frame_000001.PNG", std::nullopt},
        {"frame_000001.png.bak", std::nullopt},
        {"xframe_000001.png", std::nullopt},
        {"frame_.png", std::nullopt},
        {"frame_99999999999999999999.png", std::nullopt},
    };
    for (const auto& [name, number] : names) {
        EXPECT_EQ(pngFrameNumber(name), number) << name;
        if (number) {
            EXPECT_EQ(pngFrameName(*number), name);
        }
    }
}

TEST(CaptureStaging, StaleFramesAfterTheLastGoAndNothingElse) {
    TempWorkingDir dir;
    for (const char* name : {"frame_000003.png", "frame_000004.png", "frame_000005.png", "frame_000010.png",
                             "frame_12.png", "frame_000011.png.bak", "notes.txt"})
        writeFileBytes(name, "x");
    EXPECT_EQ(removeFramesAfter(dir.path(), 4), "");
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path())) left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"frame_000003.png", "frame_000004.png", "frame_000011.png.bak",
                                              "frame_12.png", "notes.txt"}));

    fs::create_directory("frame_000020.png");
    fs::create_directory("frame_000021.png");
    EXPECT_EQ(removeFramesAfter(dir.path(), 4), "2 frames of an earlier capture after frame_000004.png stay in " +
                                                    dir.path().string() + ": is a directory");
    EXPECT_TRUE(fs::is_directory("frame_000020.png"));
    EXPECT_EQ(removeFramesAfter(dir.path() / "missing", 4).rfind("cannot look for frames of an earlier capture in ", 0),
              0u);
}

TEST(CaptureProgressLine, SaysFramesShowTimeSpeedAndTimeLeft) {
    EXPECT_EQ(clockText(0), "0:00.0");
    EXPECT_EQ(clockText(65.04), "1:05.0");
    EXPECT_EQ(clockText(59.96), "1:00.0");
    EXPECT_EQ(clockText(3600), "60:00.0");

    CaptureProgress p;
    p.fps = 60;
    p.framesDone = 600;  // 10 s of show in 20 s
    p.framesTotal = 1800;
    p.showTick = 70000;
    p.endTick = 90000;
    p.wallSeconds = 20;
    EXPECT_EQ(progressLine(p), "frame 600/1800  1:10.0 of 1:30.0  0.50x real time  ETA 0:40.0");
    p.framesTotal = 0;
    p.endTick = 0;
    EXPECT_EQ(progressLine(p), "frame 600  1:10.0  0.50x real time");
    p.finished = true;
    EXPECT_EQ(progressLine(p), "frame 600  1:10.0  0.50x real time  done in 0:20.0");

    CaptureProgress seeking;
    seeking.seeking = true;
    seeking.showTick = 30000;
    seeking.endTick = 60000;
    seeking.wallSeconds = 2;
    EXPECT_EQ(progressLine(seeking), "seeking 0:30.0 of 1:00.0  15.0x real time");
}

TEST(CaptureProgressLine, IsRewrittenInPlaceAndEndedWithANewline) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&text, &size);
    ASSERT_NE(stream, nullptr);
    {
        ProgressBar bar(stream);
        bar.end();  // nothing shown: nothing to end
        CaptureProgress p;
        p.fps = 10;
        p.framesDone = 100;
        p.wallSeconds = 10;
        bar.show(p);  // "frame 100  0:00.0  1.00x real time"
        p.framesDone = 5;
        bar.show(p);  // two characters shorter: padded over
        p.finished = true;
        bar.show(p);
    }  // already ended: no second newline
    std::fclose(stream);
    const std::string output(text, size);
    std::free(text);
    EXPECT_EQ(output,
              "\rframe 100  0:00.0  1.00x real time"
              "\rframe 5  0:00.0  0.05x real time  "
              "\rframe 5  0:00.0  0.05x real time  done in 0:10.0\n");
}

}  // namespace
