// Once per frame: keys, camera, clock and the end of the show; then, at the start of each
// drawing, the scene table that turns elapsed milliseconds into a scene and a camera.
#include "demo/timeline.h"

#include <cmath>
#include <cstdio>

#include "base/html_log.h"
#include "demo/demo.h"
#include "demo/demo_globals.h"
#include "platform/clock.h"

namespace {

constexpr int kKeyEscape = 27;
constexpr int kKeyW = 87;
constexpr int kKeyS = 83;
constexpr int kKeyA = 65;
constexpr int kKeyD = 68;
constexpr int kKeyNumpad3 = 99;  // not 'C' (67)
constexpr float kMoveStep = 0.5f;
constexpr std::int32_t kMusicRecord = 0;

std::uint32_t randomState = 1;

bool held(int key) { return demoKeys != nullptr && (*demoKeys)[static_cast<std::size_t>(key)] == 1; }

void placeLookingAt(float px, float py, float pz, float vx, float vy, float vz) {
    demoCamera.place(px, py, pz, vx, vy, vz, 0.0f, 1.0f, 0.0f);
}

// Sines are taken in double precision from the float clock, then rounded where passed on.
double wave(double period) { return std::sin(static_cast<double>(demoTicks) / period); }

void placePresetA() { placeLookingAt(37.500465f, -13.445165f, -49.083401f, 33.814697f, -7.126167f, -42.265347f); }

void placePresetB() {
    placeLookingAt(0.302065f, static_cast<float>(10.0 * wave(100.0) + double{12.366753f}),
                   static_cast<float>(wave(137.0) - double{0.212369f}), 0.299563f, 22.366787f, -0.204808f);
}

// Differs from B only in the factors of the two sines.
void placePresetD() {
    placeLookingAt(0.302065f, static_cast<float>(wave(100.0) + double{12.366753f}),
                   static_cast<float>(20.0 * wave(137.0) - double{0.212369f}), 0.299563f, 22.366787f, -0.204808f);
}

void placePresetE() { placeLookingAt(-48.465942f, 53.875366f, -58.708519f, -43.806816f, 48.495758f, -51.683372f); }

// Scene 3: the view point wanders from wherever the last frame left it.
void placeDrift() {
    const Vector3 v = demoCamera.getView();
    const int r = demoRandom();
    placeLookingAt(0.0f, 0.0f, 0.0f, static_cast<float>(double{v.x} + 10.0 * wave(100.0)),
                   static_cast<float>(double{v.y} + wave(137.0)), v.z + static_cast<float>(r % 10 - 5));
}

}  // namespace

int demoRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

void seedDemoRandom(std::uint32_t state) { randomState = state; }

std::int32_t elapsedShowTime() { return static_cast<std::int32_t>(frameTick - startTick); }

void updateDemo(std::uint32_t /*milliseconds*/) {
    if (held(kKeyEscape)) requestQuit(demoWindow);
    if (held(kKeyW)) demoCamera.moveAlongView(kMoveStep);
    if (held(kKeyS)) demoCamera.moveAlongView(-kMoveStep);
    if (held(kKeyA)) demoCamera.strafeSideways(-kMoveStep);
    if (held(kKeyD)) demoCamera.strafeSideways(kMoveStep);
    if (held(kKeyNumpad3)) {
        const Vector3 position = demoCamera.getPosition();
        const Vector3 view = demoCamera.getView();
        char line[512];
        std::snprintf(line, sizeof line, "<b>%f, %f, %f, %f, %f, %f,</b><br>", position.x, position.y, position.z,
                      view.x, view.y, view.z);
        writeLog(line);
    }
    demoCamera.updateCamera();
    frameTick = platform::tickCount();
    demoTicks = static_cast<float>(static_cast<std::int32_t>(frameTick) / 20);
    if (!soundSystem.isPlaying(kMusicRecord)) requestQuit(demoWindow);
}

void selectScene() {
    overlayIndex = 0;
    const std::int32_t e = elapsedShowTime();
    if (e <= 19000) {
        sceneIndex = 1;
        placePresetA();
    } else if (e < 38000) {
        sceneIndex = 1;
        overlayIndex = 1;
        placePresetA();
    } else if (e < 60000) {
        sceneIndex = 2;
        placePresetB();
    } else if (e <= 80000) {
        sceneIndex = 3;
        placeDrift();
    } else if (e < 86000) {
        sceneIndex = 4;
        placePresetD();
    } else {
        sceneIndex = 6;
        overlayIndex = e < 90000 ? 3 : e < 106000 ? 4 : 5;
        placePresetE();
    }
}
