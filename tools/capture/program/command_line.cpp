#include "tools/capture/program/command_line.h"

#include <climits>
#include <memory>
#include <system_error>

#include "gfx/renderer_option.h"
#include "tools/capture/output/png_writer.h"
#include "tools/capture/plan/limits.h"
#include "tools/capture/plan/numbers.h"

namespace fs = std::filesystem;

namespace {

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

// A check of an option's value; `problem` gives what is wrong with it, or empty. CLI11 puts
// the option's name in front of the message.
CLI::Validator checkWith(std::function<std::string(const std::string&)> problem) {
    return CLI::Validator([problem](std::string& text) { return problem(text); }, "", "");
}

const CLI::Validator kSize = checkWith([](const std::string& text) -> std::string {
    if (parsePictureSize(text, kMaxPictureSide)) return {};
    return "takes WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxPictureSide) + ", not '" + text + "'";
});

const CLI::Validator kSegmentChoice = checkWith([](const std::string& text) -> std::string {
    if (parseSegmentChoice(text)) return {};
    return "takes K/N, part K of N with 1 <= K <= N <= " + std::to_string(kMaxSegments) + ", not '" + text + "'";
});

// CLI11 takes an empty word as a value.
const CLI::Validator kNotEmpty =
    checkWith([](const std::string& text) -> std::string { return text.empty() ? "needs a value" : ""; });

// The output's name says what to write.
std::string kindProblem(const std::string& output) {
    if (outputKindOf(output)) return {};
    return "cannot tell what to write to '" + output +
           "': end it in .mp4, .webm, .mkv or .png, or with / for a folder of PNG frames";
}

// --join takes everything but its parts and the output from the segments.
std::string joinProblem(const CaptureOptions& options, const CLI::App& app) {
    if (options.joinParts.empty()) return {};
    for (const char* other : {"--fps", "--size", "--from", "--to", "--frame", "--supersample", "--segment", "--jobs"})
        if (app.get_option(other)->count() > 0)
            return std::string("--join takes the span, size and rate from its segments, not from ") + other;
    if (!isVideo(options.kind)) return "--join writes a video: --output must end in .mp4, .mkv or .webm";
    return {};
}

std::string segmentProblem(const CaptureOptions& options) {
    if (!options.segment) return {};
    if (options.kind == OutputKind::kMp4 || options.kind == OutputKind::kPngFrame)
        return "a segment is written to FILE.mkv (H.264), FILE.webm (VP9) or FOLDER/ for PNG frames";
    if (options.jobs > 1) return "a segment is rendered by one process; --segment cannot go with --jobs";
    return {};
}

std::string folderProblem(const CaptureOptions& options, const std::string& output) {
    std::error_code ec;
    if (options.kind == OutputKind::kPngFolder || !fs::is_directory(options.output, ec)) return {};
    return "'" + output + "' is a folder: write '" + output +
           "/' for PNG frames in it, or name a file that is not a folder";
}

// --frame, --from and --to together name at least one frame.
std::string spanProblem(const CaptureOptions& options) {
    if (options.frameMs) {
        if (options.fromMs || options.toMs) return "--frame takes one frame; it cannot go with --from or --to";
        if (options.kind != OutputKind::kPngFrame) return "--frame writes one PNG: --output must end in .png";
    } else if (options.kind == OutputKind::kPngFrame) {
        return "a .png output is one frame: say which with --frame MS, or give a folder (ending in /)";
    }
    if (options.fromMs && options.toMs && *options.toMs <= *options.fromMs)
        return "--to (" + std::to_string(*options.toMs) + ") must come after --from (" +
               std::to_string(*options.fromMs) + ")";
    if (const FrameRange range = frameRangeOf(options); range.first >= range.end)
        return "no frame at " + std::to_string(options.fps) + " fps falls before --to (" +
               std::to_string(*options.toMs) + ")" +
               (options.fromMs ? " from --from (" + std::to_string(*options.fromMs) + ")" : std::string());
    return {};
}

// The size is one the output takes, and one the show can be drawn at.
std::string sizeProblem(const CaptureOptions& options) {
    const std::string size = sizeText(options.width, options.height);
    if (isVideo(options.kind)) {
        if (options.width > kMaxVideoSide || options.height > kMaxVideoSide)
            return "video is at most " + sizeText(kMaxVideoSide, kMaxVideoSide) + ", not " + size +
                   " (PNG frames go up to " + sizeText(kMaxPictureSide, kMaxPictureSide) + ")";
        if (options.width % 2 != 0 || options.height % 2 != 0)
            return "video needs an even width and height, not " + size + " (PNG frames take any size)";
    } else if (!pngWriterTakes(options.width, options.height)) {
        return "a PNG frame of " + size +
               " is beyond FFmpeg's picture size limit: (width + 128) x (height + 128) must stay below " +
               std::to_string(INT_MAX / 8) + ", as 16255x16255 does";
    }
    if (options.supersample > 1 && (options.width < 2 || options.height < 2))
        return "--supersample needs a picture of at least 2x2, not " + size;
    // No show is drawn larger; the machine's OpenGL, asked when the capture starts, may allow less.
    return sizeBeyondDrawing(options.width, options.height, {kMaxPictureSide, kMaxPictureSide}, options.supersample);
}

}  // namespace

CaptureCommandLine::CaptureCommandLine() : app_(kDescription) {
    app_.formatter(std::make_shared<CaptureFormatter>());
    base::prepareCommandLine(app_);
    addPath("--output", output_,
            "Where to write: FILE.mp4, FILE.mkv, FILE.webm, FOLDER/ for PNG frames, or FILE.png with --frame", "PATH");
    addCount("--fps", fps_, "Frames a second, default 50 (one 20 ms animation step each)", kMaxFps);
    app_.add_option("--size", size_,
                    "The picture's size, default 1024x768, the show's 4:3 frame fitted in it; video takes even sides "
                    "up to " +
                        std::to_string(kMaxVideoSide))
        ->type_name("WxH")
        ->check(kSize);
    from_ =
        addMilliseconds("--from", fromMs_, "Write the frames from the first at or after MS; earlier ones run undrawn");
    to_ = addMilliseconds("--to", toMs_, "Stop before the first frame at or after MS");
    frame_ = addMilliseconds("--frame", frameMs_, "One frame, the first at or after MS, as a PNG");
    addPath("--data", dataDir_, "The folder of the show's pictures and music", "DIR");
    addCount("--supersample", supersample_,
             "Draw each frame at N times the size and scale it down by area for smoother edges; N from 1 to 4, "
             "default 1 (N x N times the pixels to draw)",
             kMaxSupersample);
    addRendererOption(app_, renderer_);
    addCount("--jobs", jobs_,
             "Render in N worker processes, each a contiguous span, joined into one output; default the number of "
             "cores, for spans long enough to share",
             kMaxJobs);
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

void CaptureCommandLine::addPath(const std::string& name, std::string& value, const std::string& description,
                                 const std::string& typeName) {
    app_.add_option(name, value, description)->type_name(typeName)->check(base::kNotAnOption)->check(kNotEmpty);
}

void CaptureCommandLine::addCount(const std::string& name, int& value, const std::string& description, int high) {
    app_.add_option(name, value, description)->type_name("N")->transform(base::wholeNumber(1, high));
}

CLI::Option* CaptureCommandLine::addMilliseconds(const std::string& name, std::int64_t& value,
                                                 const std::string& description) {
    return app_.add_option(name, value, description)
        ->type_name("MS")
        ->transform(base::wholeNumber(0, kMaxMilliseconds, "milliseconds"));
}

std::optional<int> CaptureCommandLine::parse(int argc, char** argv, CaptureOptions& options) {
    options = CaptureOptions{};
    if (const auto status = base::parseCommandLine(app_, argc, argv)) return status;
    // Checked here rather than by CLI11, which would say so before naming an unknown option.
    if (output_.empty()) return usageError("--output is required");
    copyInto(options);
    if (const std::string problem = problemWith(options); !problem.empty()) return usageError(problem);
    return std::nullopt;
}

void CaptureCommandLine::copyInto(CaptureOptions& options) const {
    options.output = output_;
    options.kind = outputKindOf(options.output).value_or(OutputKind::kMp4);
    options.fps = fps_;
    if (const auto size = parsePictureSize(size_, kMaxPictureSide)) {
        options.width = size->width;
        options.height = size->height;
    }
    if (from_->count() > 0) options.fromMs = fromMs_;
    if (to_->count() > 0) options.toMs = toMs_;
    if (frame_->count() > 0) options.frameMs = frameMs_;
    options.dataDir = dataDir_;
    options.quiet = quiet_;
    options.supersample = supersample_;
    options.renderer = renderer_;
    options.jobs = jobs_;
    if (!segment_.empty()) options.segment = parseSegmentChoice(segment_);
    for (const std::string& part : joinParts_) options.joinParts.emplace_back(part);
    options.reportFrames = reportFrames_;
}

std::string CaptureCommandLine::problemWith(const CaptureOptions& options) const {
    std::string problem = kindProblem(output_);
    if (problem.empty()) problem = joinProblem(options, app_);
    if (problem.empty()) problem = segmentProblem(options);
    if (problem.empty()) problem = folderProblem(options, output_);
    if (problem.empty()) problem = spanProblem(options);
    if (problem.empty()) problem = sizeProblem(options);
    return problem;
}
