// PNG frames through FFmpeg's PNG encoder, RGB24, right side up: a folder of numbered frames
// or one frame.
#pragma once

#include <memory>
#include <string>

#include "tools/capture/output/frame_writer.h"

// As openFrameWriter, for a PNG folder or a single PNG.
std::unique_ptr<FrameWriter> openPngWriter(const WriterSettings& settings, std::string& error);

// Whether FFmpeg's PNG encoder takes a picture of width x height: none whose bytes a signed int
// cannot address, which for the largest sizes is less than the command line allows.
bool pngWriterTakes(int width, int height);
