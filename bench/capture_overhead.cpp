#include "bench/capture_overhead.h"

#include <system_error>

#include "tools/capture/render/capture.h"

CaptureOverhead measureCaptureOverhead(const std::filesystem::path& dataDir, const std::filesystem::path& output,
                                       int width, int height, int fps, std::int64_t fromMs, std::int64_t toMs) {
    CaptureOptions options;
    options.output = output;
    const auto kind = outputKindOf(output);
    options.kind = kind ? *kind : OutputKind::kMp4;
    options.fps = fps;
    options.width = width;
    options.height = height;
    options.fromMs = fromMs;
    options.toMs = toMs;
    options.dataDir = dataDir;
    options.quiet = true;

    CaptureOverhead result;
    options.renderOnly = true;
    const CaptureResult rendered = runCapture(options);
    options.renderOnly = false;
    const CaptureResult captured = rendered.ok ? runCapture(options) : CaptureResult{};
    std::error_code ec;
    std::filesystem::remove(output, ec);
    if (!rendered.ok || !captured.ok) {
        result.error = rendered.ok ? captured.error : rendered.error;
        return result;
    }
    result.ok = true;
    result.frames = captured.frames;
    // The seek before the range is the same in both runs and not part of the cost.
    result.renderSeconds = rendered.wallSeconds - rendered.seekSeconds;
    result.captureSeconds = captured.wallSeconds - captured.seekSeconds;
    return result;
}
