// What oyun-capture is asked to do, and its command line.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "demo/offscreen_show.h"

enum class OutputKind {
    kMp4,        // H.264 + AAC
    kMkv,        // H.264 + AAC in Matroska
    kWebM,       // VP9 + Opus
    kPngFolder,  // one numbered PNG per frame
    kPngFrame,   // one PNG of one frame
};

bool isVideo(OutputKind kind);

// The largest picture side a video is written at: libx264 and libvpx-vp9 refuse pictures far
// larger, and decoders' highest levels stop about here. PNG frames go up to kMaxPictureSide.
constexpr int kMaxVideoSide = 8192;
// The most --supersample takes: 16 pixels drawn for each one written.
constexpr int kMaxSupersample = 4;

// The frames a capture writes: [first, end). `end` is a bound from --to or --frame; the
// show's end may come earlier.
struct FrameRange {
    std::int64_t first = 0;
    std::int64_t end = INT64_MAX;
};

// Part `part` (from 1) of `parts`.
struct SegmentChoice {
    int part = 1;
    int parts = 1;
};

// What a running capture reports, a few times a second and once at the end.
struct CaptureProgress {
    bool seeking = false;          // frames before the first written one, run without drawing
    std::int64_t framesDone = 0;   // written (or rendered) so far
    std::int64_t framesTotal = 0;  // expected; 0 when not known
    int fps = 50;
    std::uint32_t showTick = 0;  // the clock of the latest frame, ms
    std::uint32_t endTick = 0;   // the clock where the capture is expected to end; 0 when not known
    double wallSeconds = 0;      // since the first written frame; while seeking, since the start
    bool finished = false;
};

struct CaptureOptions {
    std::filesystem::path output;
    OutputKind kind = OutputKind::kMp4;
    int fps = 50;  // one step of the show's 20 ms animation a frame
    int width = 1024;
    int height = 768;
    std::optional<std::int64_t> fromMs;   // frames before it run without drawing
    std::optional<std::int64_t> toMs;     // frames with a tick before it
    std::optional<std::int64_t> frameMs;  // one frame: the first whose tick is at or after it
    std::filesystem::path dataDir;        // from the command line: empty without --data
    bool quiet = false;
    int supersample = 1;  // frames drawn at this many times the size, then scaled down by area

    // Worker processes, each rendering a contiguous span; 0 for the machine's cores, where the
    // span is long enough to share.
    int jobs = 0;
    // Only this part of the span, for joining later (--segment K/N).
    std::optional<SegmentChoice> segment;
    // Segments to join into `output` instead of rendering (--join).
    std::vector<std::filesystem::path> joinParts;
    // Frames done, as "frames N" lines on stdout: how a worker tells the capture that started it.
    bool reportFrames = false;
    // The frames to write, set for a segment in place of fromMs/toMs/frameMs.
    std::optional<FrameRange> frames;
    // Written into a segment's metadata; a segment's PNG frames leave other frames alone.
    std::optional<std::string> segmentDescription;

    // Renders the same frames and pulls the same sound, but reads nothing back and writes
    // nothing: the baseline a capture's cost is measured against.
    bool renderOnly = false;
    // Set (e.g. by a signal) to stop between frames; the output is then removed.
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(const CaptureProgress&)> progress;
};

// oyun-capture's command line through CLI11, with the checks of how the options go together
// that CLI11 cannot make.
class CaptureCommandLine {
public:
    CaptureCommandLine();
    CaptureCommandLine(const CaptureCommandLine&) = delete;
    CaptureCommandLine& operator=(const CaptureCommandLine&) = delete;

    // Reads argv (argv[0] the program) into `options`. Nothing when the capture should run;
    // otherwise the exit status, once --help or --version has been answered on stdout (0) or
    // a wrong command line reported with the usage on stderr (2).
    std::optional<int> parse(int argc, char** argv, CaptureOptions& options);

    // A command line found wrong later (a size this OpenGL cannot draw): reported with the
    // usage; the exit status, 2.
    int usageError(const std::string& message) const { return base::usageError(app_, message); }

private:
    // One line in `error` when the options parsed do not make a capture.
    bool read(CaptureOptions& options, std::string& error) const;

    CLI::App app_;
    std::string output_;
    int fps_ = 50;
    std::string size_;
    std::int64_t fromMs_ = 0;
    std::int64_t toMs_ = 0;
    std::int64_t frameMs_ = 0;
    std::string dataDir_;
    bool quiet_ = false;
    int supersample_ = 1;
    int jobs_ = 0;
    std::string segment_;
    std::vector<std::string> joinParts_;
    bool reportFrames_ = false;
    CLI::Option* from_ = nullptr;
    CLI::Option* to_ = nullptr;
    CLI::Option* frame_ = nullptr;
};

// The kind of output a path names: a trailing slash is a PNG folder, else a known extension
// decides, else an existing folder is a PNG folder. Nothing when it cannot be told.
std::optional<OutputKind> outputKindOf(const std::filesystem::path& output);
