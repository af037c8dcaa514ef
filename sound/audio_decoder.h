// Decoding a sound file (WMA, MP3, Ogg Vorbis, Opus, FLAC, WAV and whatever else FFmpeg
// reads) into 16-bit PCM at the file's own rate, for the mixer.
#pragma once

#include <cstdint>
#include <string>

#include "sound/mixer.h"

namespace sound {

// Longest sound that is loaded, in seconds; longer files are refused rather than filling memory.
constexpr int kMaxSampleSeconds = 60 * 60;

// Fills `sample` (pcm, channels, rate; loop untouched) from the first audio stream of the
// file. Mono and stereo files keep their channels; more channels are mixed down to stereo.
// False with a one-line reason in `error` when the file cannot be opened, holds no audio, or
// decodes to nothing. A file that decodes with damage gives one warning report naming `path`.
// From the first call on, FFmpeg's messages go through base::report: while a file decodes
// on this thread they are folded into that one line, elsewhere each error is one line.
bool decodeAudioFile(const char* path, Sample& sample, std::string& error);

// The same, but returns once `firstSeconds` are decoded and leaves the rest to a worker
// thread that fills `sample.stream` (a shorter file is decoded whole, into pcm). A failure
// in the first part fails as above; a later one ends the sound where decoding stopped, with
// one error report. Dropping the stream cancels the worker and waits for it.
bool decodeAudioFileStreamed(const char* path, Sample& sample, std::string& error, double firstSeconds = 1.0,
                             int maxSeconds = kMaxSampleSeconds);

}  // namespace sound
