// What oyun-capture is asked to do, and its command line.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

enum class OutputKind {
    Mp4,        // H.264 + AAC
    Mkv,        // H.264 + AAC in Matroska
    WebM,       // VP9 + Opus
    PngFolder,  // one numbered PNG per frame
    PngFrame,   // one PNG of one frame
};

bool isVideo(OutputKind kind);

// What a running capture reports, a few times a second and once at the end.
struct CaptureProgress {
    bool seeking = false;          // frames before the first written one, run without drawing
    std::int64_t framesDone = 0;   // written (or rendered) so far
    std::int64_t framesTotal = 0;  // expected; 0 when not known
    int fps = 60;
    std::uint32_t showTick = 0;  // the clock of the latest frame, ms
    std::uint32_t endTick = 0;   // the clock where the capture is expected to end; 0 when not known
    double wallSeconds = 0;      // since the first written frame; while seeking, since the start
    bool finished = false;
};

struct CaptureOptions {
    std::filesystem::path output;
    OutputKind kind = OutputKind::Mp4;
    int fps = 60;
    int width = 1024;
    int height = 768;
    std::optional<std::int64_t> fromMs;   // frames before it run without drawing
    std::optional<std::int64_t> toMs;     // frames with a tick before it
    std::optional<std::int64_t> frameMs;  // one frame: the first whose tick is at or after it
    std::filesystem::path dataDir;
    bool quiet = false;

    // Renders the same frames and pulls the same sound, but reads nothing back and writes
    // nothing: the baseline a capture's cost is measured against.
    bool renderOnly = false;
    // Set (e.g. by a signal) to stop between frames; the output is then removed.
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(const CaptureProgress&)> progress;
};

enum class ParseOutcome { Run, Help, Error };

// Reads the arguments after the program name. `defaultDataDir` is used without --data.
// On Error, `error` holds one line without the program name.
ParseOutcome parseCaptureArguments(const std::vector<std::string>& arguments,
                                   const std::filesystem::path& defaultDataDir, CaptureOptions& options,
                                   std::string& error);

// The kind of output a path names: a trailing slash or an existing folder is a PNG folder,
// otherwise its extension decides. Nothing for an unknown extension.
std::optional<OutputKind> outputKindOf(const std::filesystem::path& output);

extern const char* const kCaptureUsage;
