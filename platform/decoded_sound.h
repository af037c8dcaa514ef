// Sounds the host decoded before the program asked for them. A browser decodes compressed
// audio itself (and has no FFmpeg): its page decodes the sound files it serves and hands the
// PCM over here, where the sound library's loads find it by the file's path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct DecodedSound {
    std::vector<std::int16_t> pcm;  // interleaved
    int channels = 0;
    int rate = 0;
};

// Keeps `sound` as the decoding of the file at `path`, replacing any before. Relative paths
// are taken from the working folder, so "data/x" and "/data/x" name one file from "/".
void provideDecodedSound(const std::string& path, DecodedSound sound);

// The sound decoded for the file at `path`, or null.
const DecodedSound* findDecodedSound(const std::string& path);

// Forgets every decoded sound.
void forgetDecodedSounds();

}  // namespace platform
