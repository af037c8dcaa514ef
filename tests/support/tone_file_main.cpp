// oyun_tone_file: writes a WMA (version 2) tone for the end-to-end runs, 22050 Hz stereo.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/tone_file.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: oyun_tone_file OUTPUT.wma SECONDS\n");
        return 2;
    }
    testing_support::ToneSettings settings;
    settings.seconds = std::atof(argv[2]);
    if (settings.seconds <= 0.0) {
        std::fprintf(stderr, "oyun_tone_file: bad length %s\n", argv[2]);
        return 2;
    }
    std::string error;
    if (!testing_support::writeToneFile(argv[1], settings, error)) {
        std::fprintf(stderr, "oyun_tone_file: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
