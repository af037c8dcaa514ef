// The two kinds of helper a capture runs beside its rendering, and the one decision between
// them: the encoder thread that writes frames in order, the worker processes that render parts,
// and whether a capture is shared among workers at all.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tools/capture/parts/sharing.h"
#include "tools/capture/parts/worker_processes.h"
#include "tools/capture/render/encoder_thread.h"

namespace {

// Keeps the numbers of the frames written; fails on the one numbered `failAt`.
class RecordingWriter : public FrameWriter {
public:
    explicit RecordingWriter(std::int64_t failAt = -1) : failAt_(failAt) {}
    PixelOrder pixelOrder() const override { return PixelOrder::kRgb; }
    bool write(const CapturedFrame& frame, std::string& error) override {
        if (frame.number == failAt_) {
            error = "disk full at " + std::to_string(frame.number);
            return false;
        }
        written.push_back(frame.number);
        return true;
    }
    bool finish(std::string&) override { return true; }
    std::vector<std::int64_t> written;

private:
    std::int64_t failAt_;
};

// Hands frames 0 to count - 1 to the pipe as the renderer does; how many it could hand over.
int produce(FramePipe<CapturedFrame>& pipe, int count) {
    for (int n = 0; n < count; ++n) {
        CapturedFrame* frame = pipe.acquire();
        if (frame == nullptr) return n;
        frame->number = n;
        pipe.submit(frame);
    }
    return count;
}

TEST(CaptureEncoderThread, WritesEveryFrameInOrder) {
    FramePipe<CapturedFrame> pipe(3);
    RecordingWriter writer;
    EncoderThread encoder(pipe, writer, nullptr, 0);
    EXPECT_EQ(produce(pipe, 50), 50);
    EXPECT_EQ(encoder.drain(), "");
    ASSERT_EQ(writer.written.size(), 50u);
    for (std::int64_t n = 0; n < 50; ++n) EXPECT_EQ(writer.written[static_cast<std::size_t>(n)], n);
}

TEST(CaptureEncoderThread, AFailedWriteStopsTheRendererAndIsReported) {
    FramePipe<CapturedFrame> pipe(2);
    RecordingWriter writer(7);
    EncoderThread encoder(pipe, writer, nullptr, 0);
    const int handed = produce(pipe, 1000);
    EXPECT_LT(handed, 1000) << "the renderer went on after the writer failed";
    EXPECT_TRUE(pipe.stopped());
    EXPECT_EQ(encoder.drain(), "disk full at 7");
    EXPECT_EQ(writer.written, (std::vector<std::int64_t>{0, 1, 2, 3, 4, 5, 6}));
}

struct Waited {
    WorkerProcesses::Outcome outcome;
    std::vector<std::int64_t> progress;
};

// Each list of words a shell script for one worker.
Waited runWorkers(const std::vector<std::string>& scripts, int atOnce, const std::atomic<bool>* cancel = nullptr) {
    std::vector<std::vector<std::string>> arguments;
    for (const std::string& script : scripts) arguments.push_back({"-c", script});
    Waited waited;
    WorkerProcesses workers;
    std::string error;
    EXPECT_TRUE(workers.start("/bin/sh", arguments, atOnce, error)) << error;
    waited.outcome = workers.wait(cancel, [&](std::int64_t done) { waited.progress.push_back(done); });
    return waited;
}

TEST(CaptureWorkerProcesses, FramesOfAllWorkersAddUpAndAllEndWell) {
    const Waited waited =
        runWorkers({"echo frames 3; echo frames 10", "echo frames 20", "printf 'frames 1\\nframes 5'"}, 2);
    EXPECT_TRUE(waited.outcome.ok) << waited.outcome.error;
    EXPECT_EQ(waited.outcome.failed, -1);
    ASSERT_FALSE(waited.progress.empty());
    EXPECT_EQ(waited.progress.back(), 10 + 20 + 1) << "a last line without its newline is not read as done";
    for (std::size_t i = 1; i < waited.progress.size(); ++i)
        EXPECT_NE(waited.progress[i], waited.progress[i - 1]) << "progress is told only when it changes";
}

TEST(CaptureWorkerProcesses, TheFirstFailureIsNamedByItsLastLine) {
    const Waited said = runWorkers(
        {"exit 0", "echo 'oyun-capture: cannot write x: no space' >&2; echo 'oyun-capture: disk full' >&2; exit 1",
         "sleep 30"},
        3);
    EXPECT_FALSE(said.outcome.ok);
    EXPECT_EQ(said.outcome.failed, 1);
    EXPECT_EQ(said.outcome.error, "disk full");

    const std::vector<std::pair<std::string, std::string>> silent = {
        {"exit 3", "ended with status 3"},
        {"kill -9 $$", "ended by signal 9"},
        {"echo 'no such file: x' >&2; exit 1", "no such file: x"},  // no program's name in front: kept whole
    };
    for (const auto& [script, error] : silent) {
        const Waited waited = runWorkers({script}, 1);
        EXPECT_EQ(waited.outcome.failed, 0) << script;
        EXPECT_EQ(waited.outcome.error, error) << script;
    }
}

TEST(CaptureWorkerProcesses, QueuedWorkersStartAsOthersEndAndACancelStopsThem) {
    // One at a time: the second, which fails without the first one's mark, starts only after it.
    const testing_support::TempWorkingDir dir;
    const Waited inTurn = runWorkers({"sleep 0.3; echo one > mark", "cat mark"}, 1);
    EXPECT_TRUE(inTurn.outcome.ok) << inTurn.outcome.error;
    const Waited together = runWorkers({"sleep 0.3; echo one > late", "cat late"}, 2);
    EXPECT_EQ(together.outcome.failed, 1) << "two at once did not run together";

    std::atomic<bool> cancel{true};
    const Waited cancelled = runWorkers({"sleep 30", "sleep 30", "sleep 30"}, 2, &cancel);
    EXPECT_TRUE(cancelled.outcome.cancelled);
    EXPECT_FALSE(cancelled.outcome.ok);

    WorkerProcesses missing;
    std::string error;
    EXPECT_TRUE(missing.start("/nonexistent/program", {{"x"}}, 1, error)) << "exec fails in the child";
    const WorkerProcesses::Outcome outcome = missing.wait(nullptr, {});
    EXPECT_EQ(outcome.failed, 0);
    EXPECT_EQ(outcome.error, "ended with status 127");
}

// Whether to share is decided from the frames asked for before any show is run, and from
// the span the show really has once it is.
TEST(CaptureSharing, FewFramesRunInOnePieceWithoutRunningTheShow) {
    CaptureOptions options;
    options.fps = 50;
    options.fromMs = 20000;
    options.toMs = 20100;  // 5 frames: no worker pays for itself
    options.dataDir = "/nonexistent";
    Sharing sharing;
    CaptureResult failure;
    EXPECT_TRUE(planSharing(options, sharing, failure)) << failure.error;
    EXPECT_EQ(sharing.jobs, 1);
    EXPECT_FALSE(sharing.run.ok) << "the show ran for a capture in one piece";
    options.jobs = 2;
    EXPECT_FALSE(planSharing(options, sharing, failure)) << "two workers asked for: the span must be found";
    EXPECT_EQ(failure.error, "no data folder at /nonexistent");
}

TEST(CaptureSharing, TheSpanEndsWhereTheShowDoes) {
    CaptureOptions options;
    options.fps = 10;
    options.width = 64;
    options.height = 48;
    options.kind = OutputKind::kPngFolder;
    options.jobs = 3;
    options.fromMs = 140000;
    options.toMs = 900000;
    options.dataDir = OYUN_DATA_DIR;
    Sharing sharing;
    CaptureResult failure;
    ASSERT_TRUE(planSharing(options, sharing, failure)) << failure.error;
    EXPECT_EQ(sharing.whole.first, 1400);
    EXPECT_LT(sharing.whole.end, 9000) << "the span goes past the show's end";
    EXPECT_GT(sharing.whole.end, 1400);
    EXPECT_EQ(sharing.jobs, std::min<std::int64_t>(3, sharing.whole.end - 1400));
    EXPECT_TRUE(sharing.run.sound.empty()) << "PNG frames need no sound";

    options.fromMs = 900000;
    options.toMs.reset();
    EXPECT_FALSE(planSharing(options, sharing, failure));
    EXPECT_EQ(failure.error.rfind("the show ends at ", 0), 0u) << failure.error;
    EXPECT_NE(failure.error.find(", before 900000 ms"), std::string::npos) << failure.error;
}

}  // namespace
