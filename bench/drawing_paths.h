// The show's frames drawn by the immediate-mode reference and by the compiled geometry the
// show uses: what each costs per scene, and whether every frame has the same pixels.
#pragma once

struct OffscreenShowOptions;

// Draws up to `frames` frames at `fps` from each span of benchScenes(), never past the next
// span's start (the last runs to the end of the show), once with each path in a show of its
// own from tick 0; the frames between spans are replayed without drawing. A third run takes
// the paths in turns, frame by frame, for up to 120 frames a path from each span, and gives the
// times. Prints a Markdown table of the median times and of the frames whose pixels hash the
// same. False, with a report, when a show cannot be opened or a frame differs.
bool measureDrawingPaths(const OffscreenShowOptions& options, int frames, int fps);
