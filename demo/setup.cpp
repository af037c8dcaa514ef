// Setting the show up once its window exists, and tearing it down before the window
// closes: the log, the camera, the music and the clock.
#include "app/html_log.h"
#include "demo/demo.h"
#include "demo/demo_globals.h"
#include "platform/clock.h"
#include "resources/sound_library.h"

namespace {
constexpr std::int32_t kMusicRecord = 0;
constexpr std::int32_t kMusicFrequency = 22050;
constexpr std::int32_t kMusicVolume = 255;
}  // namespace

bool initialiseDemo(AppWindow* window, KeyState* keys) {
    clearLog();
    demoWindow = window;
    demoKeys = keys;

    // OpenGL state, the font lists, the sprites and the model's picture go here.

    demoCamera.place(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -10.0f, 0.0f, 1.0f, 0.0f);
    demoTicks = 0.0f;

    // The ball textures, the scene tables, the light, the quadric and sphere mapping go here.

    // Nothing is checked: music that does not load or start ends the show at its first frame.
    soundSystem.loadSample("data/music.wma", kMusicRecord, false);
    soundSystem.play(kMusicRecord, kMusicFrequency, kMusicVolume);

    // Line smoothing and width go here.

    startTick = platform::tickCount();
    sceneIndex = 0;
    overlayIndex = 0;
    return true;
}

void deinitialiseDemo() {
    // The font lists are deleted here.
    soundSystem.freeSample(kMusicRecord);
    sound::close();
}
