// The one choice of a writer for an output kind.
#pragma once

#include <memory>
#include <string>

#include "tools/capture/output/frame_writer.h"

// The writer of `settings.kind`. It checks that the output can be written (a temporary file or
// folder beside it is made at once) and sets the encoders up. Null with `error` set (one line)
// otherwise.
std::unique_ptr<FrameWriter> openFrameWriter(const WriterSettings& settings, std::string& error);
