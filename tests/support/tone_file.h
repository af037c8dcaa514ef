// Sound files made by the suite itself: a sine tone encoded with any FFmpeg encoder into
// the container that the file name's extension names (".wma" is ASF), bit-exact.
#pragma once

#include <string>

namespace testing_support {

struct ToneSettings {
    const char* encoder =
        "wmav2";  // FFmpeg encoder name: wmav1, wmav2, libmp3lame, libvorbis, libopus, flac, pcm_s16le
    int rate = 22050;
    int channels = 2;
    double seconds = 1.0;
    double hertz = 441.0;
    double amplitude = 0.5;   // of full scale, first channel
    double otherScale = 1.0;  // second and later channels carry the tone times this
    int bitRate = 64000;
};

// False with the reason in `error`.
bool writeToneFile(const std::string& path, const ToneSettings& settings, std::string& error);

}  // namespace testing_support
