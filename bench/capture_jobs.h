// Capture throughput over worker processes: the same span captured by oyun-capture with
// different --jobs, timed from launch to the output in place.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct CaptureJobsSpan {
    std::filesystem::path program;  // oyun-capture
    std::filesystem::path dataDir;
    int width = 1024;
    int height = 768;
    int fps = 50;
    int fromMs = 0;
    int toMs = 0;
    std::string format = "mp4";
};

// Prints a Markdown table of wall time, frames a second and speed-up for each of `jobs`.
bool printCaptureJobs(const CaptureJobsSpan& span, const std::vector<int>& jobs);
