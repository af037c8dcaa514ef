// The two renderers on the same show: frame times of each scene for gl11 and gles3 in one
// run, taken in turns, and every frame's time across the whole show for the chart.
#pragma once

#include <string>

struct OffscreenShowOptions;

// For each span of benchScenes(), `rounds` rounds of: `frames` frames at `fps` drawn by gl11,
// then the same by gles3, each in a show of its own seeked to the span. Prints a Markdown
// table of the medians (wall time and the main thread's CPU time) and the gles3/gl11 ratio.
// With `frameTimesPath`, then draws the whole show at `chartFps` once with each renderer and
// writes every frame's times there (tick, gl11 ms, gles3 ms, both walls then both threads).
// False, with a report, when a show cannot be opened.
bool compareRenderers(const OffscreenShowOptions& options, int frames, int fps, int rounds,
                      const std::string& frameTimesPath, int chartFps);
