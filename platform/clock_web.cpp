// A page's real time: performance.now() since the program started, except while sound plays,
// when it is the sound heard so far, so that the picture keeps in step with the music
// whatever the audio device's clock does. Neither ever goes back.
#include <emscripten.h>

#include "platform/clock_source.h"
#include "platform/web_internal.h"

namespace platform::clock_source {

namespace {

const double pageStart = emscripten_get_now();
// Added to the page's time so that it goes on from where the audio left it.
double pageOffset = 0.0;
bool following = false;
double audioBase = 0.0;  // the page's time when the audio output opened
double lastAudio = 0.0;

double pageMilliseconds() { return emscripten_get_now() - pageStart + pageOffset; }

}  // namespace

std::uint32_t realTicks() {
    const double heard = web::audioHeardMilliseconds();
    if (heard >= 0.0) {
        // Until the first sound is heard the clock holds: the music's start is the show's.
        if (!following) {
            following = true;
            audioBase = pageMilliseconds();
        }
        lastAudio = audioBase + heard;
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(lastAudio));
    }
    if (following) {
        following = false;
        pageOffset += lastAudio - pageMilliseconds();
    }
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(pageMilliseconds()));
}

// Only a busy wait keeps the caller's stack without yielding to the page.
void sleepReal(std::uint32_t milliseconds) {
    const double until = emscripten_get_now() + milliseconds;
    while (emscripten_get_now() < until) {
    }
}

}  // namespace platform::clock_source
