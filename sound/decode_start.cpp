// Every load of a sound file starts from an empty sample and refuses a missing name, so that a
// failed load leaves nothing of an earlier one behind.
#include "sound/decode_start.h"

namespace sound {

bool startDecoding(const char* path, Sample& sample, std::string& error) {
    sample.pcm.clear();
    sample.stream.reset();
    sample.rate = 0;
    sample.channels = 0;
    if (path == nullptr || *path == '\0') {
        error = "no file name";
        return false;
    }
    return true;
}

}  // namespace sound
