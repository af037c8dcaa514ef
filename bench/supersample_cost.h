// What supersampling costs a capture: the same short spans of the show captured with each
// factor, drawn at that many times the size and scaled down.
#pragma once

#include <string>

#include "demo/offscreen_show.h"

// Captures 1 s of a tower scene and 1 s of the ball rings at `fps` to a temporary file of
// `format` (mp4, mkv, webm) at show.width x show.height, for each factor the show can draw,
// and prints a Markdown table. False after reporting a failed capture.
bool printSupersampleCost(const OffscreenShowOptions& show, int fps, const std::string& format);
