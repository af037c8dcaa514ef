// The start both ways of loading a sound file share, FFmpeg's and the browser's: the sample
// emptied and the path checked.
#pragma once

#include <string>

#include "sound/mixer.h"

namespace sound {

// Empties `sample` (pcm, stream, rate, channels); false with the reason in `error` when `path`
// names no file.
bool startDecoding(const char* path, Sample& sample, std::string& error);

}  // namespace sound
