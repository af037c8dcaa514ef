// Which encoders this machine's libavcodec has: builds of FFmpeg may leave out the optional
// ones (libx264, libvpx-vp9, libopus...), and a test that needs one skips rather than fails.
#pragma once

#include <initializer_list>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace testing_support {

// Empty when libavcodec has an encoder of each name; else the reason to skip, naming those it lacks.
inline std::string missingEncoders(std::initializer_list<const char*> names) {
    std::string missing;
    for (const char* name : names) {
        if (avcodec_find_encoder_by_name(name) != nullptr) continue;
        missing += (missing.empty() ? "" : ", ") + std::string(name);
    }
    return missing.empty() ? missing : "this FFmpeg has no encoder " + missing;
}

}  // namespace testing_support
