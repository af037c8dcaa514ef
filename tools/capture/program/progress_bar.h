// The progress line oyun-capture keeps rewriting on a terminal.
#pragma once

#include <cstdio>
#include <string>

#include "tools/capture/plan/capture_options.h"

// "m:ss.t" for a show time or duration in seconds.
std::string clockText(double seconds);

// One line: frames done/total, show time, speed as a multiple of real time, time left.
std::string progressLine(const CaptureProgress& progress);

// Rewrites the line in place on `stream` (\r, padded over a longer previous line) and ends
// it with a newline when the capture finishes or the bar is dropped.
class ProgressBar {
public:
    explicit ProgressBar(std::FILE* stream) : stream_(stream) {}
    ~ProgressBar() { end(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void show(const CaptureProgress& progress);
    void end();

private:
    std::FILE* stream_;
    std::size_t lastLength_ = 0;
    bool open_ = false;
};
