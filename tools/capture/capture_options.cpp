#include "tools/capture/capture_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <system_error>

#include "tools/capture/capture.h"

namespace fs = std::filesystem;

const char* const kCaptureUsage =
    "usage: oyun-capture --output FILE.mp4|FILE.webm|FILE.mkv|FOLDER/ [--fps N] [--size WxH] [--from MS] [--to MS]\n"
    "                    [--data DIR] [--quiet]\n"
    "       oyun-capture --output FILE.png --frame MS [--size WxH] [--fps N] [--data DIR] [--quiet]";

namespace {

// The clock is 32-bit milliseconds; a day is far beyond any show and well inside it.
constexpr std::int64_t kMaxMilliseconds = 24LL * 60 * 60 * 1000;
constexpr int kMaxFps = 1000;
constexpr int kMaxSide = 16384;

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
    if (!parseInteger(text.substr(0, x), 1, kMaxSide, w) || !parseInteger(text.substr(x + 1), 1, kMaxSide, h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

bool isVideo(OutputKind kind) { return kind == OutputKind::Mp4 || kind == OutputKind::Mkv || kind == OutputKind::WebM; }

std::optional<OutputKind> outputKindOf(const fs::path& output) {
    const std::string text = output.string();
    std::error_code ec;
    if (!text.empty() && text.back() == '/') return OutputKind::PngFolder;
    if (fs::is_directory(output, ec)) return OutputKind::PngFolder;
    const std::string extension = lowercase(output.extension().string());
    if (extension == ".mp4") return OutputKind::Mp4;
    if (extension == ".mkv") return OutputKind::Mkv;
    if (extension == ".webm") return OutputKind::WebM;
    if (extension == ".png") return OutputKind::PngFrame;
    return std::nullopt;
}

ParseOutcome parseCaptureArguments(const std::vector<std::string>& arguments, const fs::path& defaultDataDir,
                                   CaptureOptions& options, std::string& error) {
    options = CaptureOptions{};
    options.dataDir = defaultDataDir;
    std::optional<std::string> output;
    auto fail = [&error](std::string message) {
        error = std::move(message);
        return ParseOutcome::Error;
    };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string flag = arguments[i];
        std::optional<std::string> value;
        if (const auto equals = flag.find('='); flag.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = flag.substr(equals + 1);
            flag.resize(equals);
        }
        if (flag == "--help" || flag == "-h") return ParseOutcome::Help;
        if (flag == "--quiet") {
            if (value) return fail("--quiet takes no value");
            options.quiet = true;
            continue;
        }
        if (flag.rfind("-", 0) != 0) return fail("unexpected argument '" + flag + "'");
        if (flag != "--output" && flag != "--fps" && flag != "--size" && flag != "--from" && flag != "--to" &&
            flag != "--frame" && flag != "--data")
            return fail("unknown option " + flag);
        if (!value) {
            if (i + 1 >= arguments.size()) return fail(flag + " needs a value");
            value = arguments[++i];
        }

        std::int64_t number = 0;
        if (flag == "--output") {
            if (value->empty()) return fail("--output needs a value");
            output = *value;
        } else if (flag == "--data") {
            if (value->empty()) return fail("--data needs a value");
            options.dataDir = *value;
        } else if (flag == "--fps") {
            if (!parseInteger(*value, 1, kMaxFps, number))
                return fail("--fps takes a whole number from 1 to " + std::to_string(kMaxFps) + ", not '" + *value +
                            "'");
            options.fps = static_cast<int>(number);
        } else if (flag == "--size") {
            if (!parseSize(*value, options.width, options.height))
                return fail("--size takes WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxSide) + ", not '" +
                            *value + "'");
        } else {
            if (!parseInteger(*value, 0, kMaxMilliseconds, number))
                return fail(flag + " takes milliseconds from 0 to " + std::to_string(kMaxMilliseconds) + ", not '" +
                            *value + "'");
            (flag == "--from" ? options.fromMs : flag == "--to" ? options.toMs : options.frameMs) = number;
        }
    }

    if (!output) return fail("--output is required");
    options.output = *output;
    const std::optional<OutputKind> kind = outputKindOf(options.output);
    if (!kind)
        return fail("cannot tell what to write to '" + *output +
                    "': end it in .mp4, .webm, .mkv or .png, or with / for a folder of PNG frames");
    options.kind = *kind;

    if (options.frameMs) {
        if (options.fromMs || options.toMs) return fail("--frame takes one frame; it cannot go with --from or --to");
        if (options.kind != OutputKind::PngFrame) return fail("--frame writes one PNG: --output must end in .png");
    } else if (options.kind == OutputKind::PngFrame) {
        return fail("a .png output is one frame: say which with --frame MS, or give a folder (ending in /)");
    }
    if (options.fromMs && options.toMs && *options.toMs <= *options.fromMs)
        return fail("--to (" + std::to_string(*options.toMs) + ") must come after --from (" +
                    std::to_string(*options.fromMs) + ")");
    if (const FrameRange range = frameRangeOf(options); range.first >= range.end)
        return fail("no frame at " + std::to_string(options.fps) + " fps falls before --to (" +
                    std::to_string(*options.toMs) + ")" +
                    (options.fromMs ? " from --from (" + std::to_string(*options.fromMs) + ")" : std::string()));
    if (isVideo(options.kind) && (options.width % 2 != 0 || options.height % 2 != 0))
        return fail("video needs an even width and height, not " + std::to_string(options.width) + "x" +
                    std::to_string(options.height) + " (PNG frames take any size)");
    return ParseOutcome::Run;
}
