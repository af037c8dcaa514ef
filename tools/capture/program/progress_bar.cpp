#include "tools/capture/program/progress_bar.h"

#include <cmath>

std::string clockText(double seconds) {
    if (!(seconds >= 0)) seconds = 0;
    const auto tenths = static_cast<long long>(std::floor(seconds * 10 + 0.5));
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld.%lld", tenths / 600, tenths / 10 % 60, tenths % 10);
    return text;
}

std::string progressLine(const CaptureProgress& p) {
    char text[200];
    const double showSeconds = p.showTick / 1000.0;
    std::string end;
    if (p.endTick > 0) end.append(" of ").append(clockText(p.endTick / 1000.0));
    if (p.seeking) {
        const double speed = p.wallSeconds > 0 ? showSeconds / p.wallSeconds : 0;
        std::snprintf(text, sizeof text, "seeking %s%s  %.1fx real time", clockText(showSeconds).c_str(), end.c_str(),
                      speed);
        return text;
    }
    const double captured = static_cast<double>(p.framesDone) / p.fps;
    const double speed = p.wallSeconds > 0 ? captured / p.wallSeconds : 0;
    std::string frames = std::to_string(p.framesDone);
    if (p.framesTotal > 0) frames.append("/").append(std::to_string(p.framesTotal));
    std::string tail;
    if (p.finished) {
        tail.append("  done in ").append(clockText(p.wallSeconds));
    } else if (p.framesTotal > p.framesDone && p.framesDone > 0 && p.wallSeconds > 0) {
        const double left = static_cast<double>(p.framesTotal - p.framesDone) * p.wallSeconds / p.framesDone;
        tail.append("  ETA ").append(clockText(left));
    }
    std::snprintf(text, sizeof text, "frame %s  %s%s  %.2fx real time%s", frames.c_str(),
                  clockText(showSeconds).c_str(), end.c_str(), speed, tail.c_str());
    return text;
}

void ProgressBar::show(const CaptureProgress& progress) {
    const std::string line = progressLine(progress);
    const std::size_t pad = lastLength_ > line.size() ? lastLength_ - line.size() : 0;
    std::fprintf(stream_, "\r%s%*s", line.c_str(), static_cast<int>(pad), "");
    lastLength_ = line.size();
    open_ = true;
    if (progress.finished) end();
    std::fflush(stream_);
}

void ProgressBar::end() {
    if (!open_) return;
    std::fputc('\n', stream_);
    std::fflush(stream_);
    open_ = false;
    lastLength_ = 0;
}
