#include "tools/capture/capture_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <memory>
#include <system_error>

#include "tools/capture/capture.h"
#include "tools/capture/segment.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
}

namespace fs = std::filesystem;

namespace {

// The clock is 32-bit milliseconds; a day is far beyond any show and well inside it.
constexpr std::int64_t kMaxMilliseconds = 24LL * 60 * 60 * 1000;
constexpr int kMaxFps = 1000;

constexpr const char* kDescription =
    "Renders the show offscreen on a virtual clock at a fixed frame rate and writes it, with its music, to a "
    "video file, a folder of PNG frames or one PNG.";

constexpr const char* kFooter =
    "The output's name says what is written: .mp4 and .mkv are H.264 + AAC, .webm VP9 + Opus; a name ending\n"
    "in / (or an existing folder) gets frame_NNNNNN.png files numbered from the start of the show, beside\n"
    "whatever else the folder holds; frames of an earlier capture numbered after this one's last are\n"
    "removed once it succeeds. Output appears only when complete; a link is written through.\n"
    "Without --data the show's data is ./data, else that of the build or installation the program is in.\n"
    "--jobs shares the span among worker processes on this machine; across machines, render each part\n"
    "with --segment K/N (the same data and options everywhere) and join the parts with --join.\n"
    "Exit status: 0 when written, 1 on a failure (nothing is left behind), 2 for a wrong command line,\n"
    "128 + n after signal n.";

// The usage names the two ways the program is called rather than CLI11's "[OPTIONS]" alone.
class CaptureFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App*, std::string name) const override {
        return "Usage: " + name + " --output FILE.mp4|FILE.webm|FILE.mkv|FOLDER/ [OPTIONS]\n       " + name +
               " --output FILE.png --frame MS [OPTIONS]\n       " + name +
               " --join PART.mkv... --output FILE.mp4|FILE.mkv [--data DIR]\n";
    }
};

bool parseInteger(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last && !text.empty() && value >= low && value <= high;
}

bool parseSize(const std::string& text, int& width, int& height) {
    const auto x = text.find('x');
    if (x == std::string::npos) return false;
    std::int64_t w = 0;
    std::int64_t h = 0;
    if (!parseInteger(text.substr(0, x), 1, kMaxPictureSide, w) ||
        !parseInteger(text.substr(x + 1), 1, kMaxPictureSide, h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// A whole number in [low, high]; CLI11 puts the option's name in front of the message.
CLI::Validator wholeNumber(std::int64_t low, std::int64_t high, const std::string& what) {
    return CLI::Validator(
        [low, high, what](std::string& text) -> std::string {
            std::int64_t value = 0;
            if (parseInteger(text, low, high, value)) return {};
            return "takes " + what + " from " + std::to_string(low) + " to " + std::to_string(high) + ", not '" + text +
                   "'";
        },
        "", "");
}

const CLI::Validator kSize(
    [](std::string& text) -> std::string {
        int width = 0;
        int height = 0;
        if (parseSize(text, width, height)) return {};
        return "takes WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxPictureSide) + ", not '" + text + "'";
    },
    "", "");

const CLI::Validator kSegmentChoice(
    [](std::string& text) -> std::string {
        if (parseSegmentChoice(text)) return {};
        return "takes K/N, part K of N with 1 <= K <= N <= " + std::to_string(kMaxSegments) + ", not '" + text + "'";
    },
    "", "");

constexpr int kMaxJobs = 256;

// CLI11 takes an empty word as a value.
const CLI::Validator kNotEmpty([](std::string& text) -> std::string { return text.empty() ? "needs a value" : ""; }, "",
                               "");

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<OutputKind> kindOfExtension(const fs::path& output) {
    const std::string extension = lowercase(output.extension().string());
    if (extension == ".mp4") return OutputKind::kMp4;
    if (extension == ".mkv") return OutputKind::kMkv;
    if (extension == ".webm") return OutputKind::kWebM;
    if (extension == ".png") return OutputKind::kPngFrame;
    return std::nullopt;
}

std::string sizeText(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

// FFmpeg takes no picture whose bytes a signed int cannot address; for the largest sizes that
// is less than the option allows.
bool ffmpegTakesPicture(int width, int height) {
    const int level = av_log_get_level();
    av_log_set_level(AV_LOG_QUIET);  // it would also say so in its own words
    const bool fits = av_image_check_size(static_cast<unsigned>(width), static_cast<unsigned>(height), 0, nullptr) == 0;
    av_log_set_level(level);
    return fits;
}

}  // namespace

bool isVideo(OutputKind kind) {
    return kind == OutputKind::kMp4 || kind == OutputKind::kMkv || kind == OutputKind::kWebM;
}

std::optional<OutputKind> outputKindOf(const fs::path& output) {
    const std::string text = output.string();
    if (!text.empty() && text.back() == '/') return OutputKind::kPngFolder;
    if (const auto kind = kindOfExtension(output)) return kind;
    std::error_code ec;
    if (fs::is_directory(output, ec)) return OutputKind::kPngFolder;
    return std::nullopt;
}

CaptureCommandLine::CaptureCommandLine() : app_(kDescription) {
    app_.formatter(std::make_shared<CaptureFormatter>());
    base::prepareCommandLine(app_);
    app_.add_option("--output", output_,
                    "Where to write: FILE.mp4, FILE.mkv, FILE.webm, FOLDER/ for PNG frames, or FILE.png with --frame")
        ->type_name("PATH")
        ->check(base::kNotAnOption)
        ->check(kNotEmpty);
    app_.add_option("--fps", fps_, "Frames a second, default 50 (one 20 ms animation step each)")
        ->type_name("N")
        ->check(wholeNumber(1, kMaxFps, "a whole number"));
    app_.add_option("--size", size_,
                    "The picture's size, default 1024x768, the show's 4:3 frame fitted in it; video takes even sides "
                    "up to 8192")
        ->type_name("WxH")
        ->check(kSize);
    const CLI::Validator milliseconds = wholeNumber(0, kMaxMilliseconds, "milliseconds");
    from_ =
        app_.add_option("--from", fromMs_, "Write the frames from the first at or after MS; earlier ones run undrawn")
            ->type_name("MS")
            ->check(milliseconds);
    to_ = app_.add_option("--to", toMs_, "Stop before the first frame at or after MS")
              ->type_name("MS")
              ->check(milliseconds);
    frame_ = app_.add_option("--frame", frameMs_, "One frame, the first at or after MS, as a PNG")
                 ->type_name("MS")
                 ->check(milliseconds);
    app_.add_option("--data", dataDir_, "The folder of the show's pictures and music")
        ->type_name("DIR")
        ->check(base::kNotAnOption)
        ->check(kNotEmpty);
    app_.add_option("--supersample", supersample_,
                    "Draw each frame at N times the size and scale it down by area for smoother edges; N from 1 to "
                    "4, default 1 (N x N times the pixels to draw)")
        ->type_name("N")
        ->check(wholeNumber(1, kMaxSupersample, "a whole number"));
    app_.add_option("--jobs", jobs_,
                    "Render in N worker processes, each a contiguous span, joined into one output; default the "
                    "number of cores, for spans long enough to share")
        ->type_name("N")
        ->check(wholeNumber(1, kMaxJobs, "a whole number"));
    app_.add_option("--segment", segment_,
                    "Render only part K of N of the span, to FILE.mkv (H.264), FILE.webm (VP9) or FOLDER/, to be "
                    "joined with --join")
        ->type_name("K/N")
        ->check(kSegmentChoice);
    app_.add_option("--join", joinParts_,
                    "Join the segments PART... (all N parts of one span) into --output, adding the music")
        ->type_name("PART")
        ->expected(1, -1)
        ->check(base::kNotAnOption);
    // How a worker process reports to the capture that started it; not for people.
    app_.add_flag("--report-frames", reportFrames_)->group("");
    app_.add_flag("--quiet", quiet_, "No progress line (it is only shown on a terminal anyway)");
    app_.footer(kFooter);
}

std::optional<int> CaptureCommandLine::parse(int argc, char** argv, CaptureOptions& options) {
    options = CaptureOptions{};
    if (const auto status = base::parseCommandLine(app_, argc, argv)) return status;
    std::string error;
    if (!read(options, error)) return usageError(error);
    return std::nullopt;
}

bool CaptureCommandLine::read(CaptureOptions& options, std::string& error) const {
    auto fail = [&error](std::string message) {
        error = std::move(message);
        return false;
    };
    // Checked here rather than by CLI11, which would say so before naming an unknown option.
    if (output_.empty()) return fail("--output is required");
    options.output = output_;
    options.fps = fps_;
    if (!size_.empty()) parseSize(size_, options.width, options.height);
    if (from_->count() > 0) options.fromMs = fromMs_;
    if (to_->count() > 0) options.toMs = toMs_;
    if (frame_->count() > 0) options.frameMs = frameMs_;
    options.dataDir = dataDir_;
    options.quiet = quiet_;
    options.supersample = supersample_;
    options.jobs = jobs_;
    if (!segment_.empty()) options.segment = parseSegmentChoice(segment_);
    for (const std::string& part : joinParts_) options.joinParts.emplace_back(part);
    options.reportFrames = reportFrames_;

    const std::optional<OutputKind> kind = outputKindOf(options.output);
    if (!kind)
        return fail("cannot tell what to write to '" + output_ +
                    "': end it in .mp4, .webm, .mkv or .png, or with / for a folder of PNG frames");
    options.kind = *kind;
    if (!options.joinParts.empty()) {
        for (const char* other :
             {"--fps", "--size", "--from", "--to", "--frame", "--supersample", "--segment", "--jobs"})
            if (app_.get_option(other)->count() > 0)
                return fail(std::string("--join takes the span, size and rate from its segments, not from ") + other);
        if (!isVideo(options.kind)) return fail("--join writes a video: --output must end in .mp4, .mkv or .webm");
    }
    if (options.segment) {
        if (options.kind == OutputKind::kMp4 || options.kind == OutputKind::kPngFrame)
            return fail("a segment is written to FILE.mkv (H.264), FILE.webm (VP9) or FOLDER/ for PNG frames");
        if (options.jobs > 1) return fail("a segment is rendered by one process; --segment cannot go with --jobs");
    }
    std::error_code ec;
    if (options.kind != OutputKind::kPngFolder && fs::is_directory(options.output, ec))
        return fail("'" + output_ + "' is a folder: write '" + output_ +
                    "/' for PNG frames in it, or name a file that is not a folder");

    if (options.frameMs) {
        if (options.fromMs || options.toMs) return fail("--frame takes one frame; it cannot go with --from or --to");
        if (options.kind != OutputKind::kPngFrame) return fail("--frame writes one PNG: --output must end in .png");
    } else if (options.kind == OutputKind::kPngFrame) {
        return fail("a .png output is one frame: say which with --frame MS, or give a folder (ending in /)");
    }
    if (options.fromMs && options.toMs && *options.toMs <= *options.fromMs)
        return fail("--to (" + std::to_string(*options.toMs) + ") must come after --from (" +
                    std::to_string(*options.fromMs) + ")");
    if (const FrameRange range = frameRangeOf(options); range.first >= range.end)
        return fail("no frame at " + std::to_string(options.fps) + " fps falls before --to (" +
                    std::to_string(*options.toMs) + ")" +
                    (options.fromMs ? " from --from (" + std::to_string(*options.fromMs) + ")" : std::string()));
    if (isVideo(options.kind)) {
        if (options.width > kMaxVideoSide || options.height > kMaxVideoSide)
            return fail("video is at most " + sizeText(kMaxVideoSide, kMaxVideoSide) + ", not " +
                        sizeText(options.width, options.height) + " (PNG frames go up to " +
                        sizeText(kMaxPictureSide, kMaxPictureSide) + ")");
        if (options.width % 2 != 0 || options.height % 2 != 0)
            return fail("video needs an even width and height, not " + sizeText(options.width, options.height) +
                        " (PNG frames take any size)");
    } else if (!ffmpegTakesPicture(options.width, options.height)) {
        return fail("a PNG frame of " + sizeText(options.width, options.height) +
                    " is beyond FFmpeg's picture size limit: (width + 128) x (height + 128) must stay below " +
                    std::to_string(INT_MAX / 8) + ", as 16255x16255 does");
    }
    if (options.supersample > 1 && (options.width < 2 || options.height < 2))
        return fail("--supersample needs a picture of at least 2x2, not " + sizeText(options.width, options.height));
    // No show is drawn larger; the machine's OpenGL, asked when the capture starts, may allow less.
    if (std::string tooLarge =
            sizeBeyondDrawing(options.width, options.height, {kMaxPictureSide, kMaxPictureSide}, options.supersample);
        !tooLarge.empty())
        return fail(std::move(tooLarge));
    return true;
}
