// Once per frame: keys, camera, clock and the end of the show; then, at the start of each
// drawing, the scene table that turns elapsed milliseconds into a scene and a camera.
#include "demo/timeline.h"

#include <cmath>
#include <cstdio>

#include "base/html_log.h"
#include "demo/demo.h"
#include "demo/demo_globals.h"
#include "platform/clock.h"
#include "platform/input.h"

namespace {

constexpr float kMoveStep = 0.5f;

std::uint32_t randomState = 1;

bool held(int key) { return demoKeys != nullptr && (*demoKeys)[static_cast<std::size_t>(key)] == 1; }

void placeLookingAt(float px, float py, float pz, float vx, float vy, float vz) {
    demoCamera.place(px, py, pz, vx, vy, vz, 0.0f, 1.0f, 0.0f);
}

// Sines are taken in double precision from the float clock, then rounded where passed on.
double wave(double period) { return std::sin(static_cast<double>(demoTicks) / period); }

// Scene 1: the circling tower from outside and below its foot, looking up.
void placeTowerFromBelow() {
    placeLookingAt(37.500465f, -13.445165f, -49.083401f, 33.814697f, -7.126167f, -42.265347f);
}

// Scene 2: on the tower's axis looking up it, bobbing along the axis by 10 units.
void placeInsideTower() {
    placeLookingAt(0.302065f, static_cast<float>(10.0 * wave(100.0) + double{12.366753f}),
                   static_cast<float>(wave(137.0) - double{0.212369f}), 0.299563f, 22.366787f, -0.204808f);
}

// Scene 4: the inside-tower view point beneath the rising balls; sways across by 20 units
// where placeInsideTower bobs along the axis (only the sines' factors differ).
void placeUnderRisingBalls() {
    placeLookingAt(0.302065f, static_cast<float>(wave(100.0) + double{12.366753f}),
                   static_cast<float>(20.0 * wave(137.0) - double{0.212369f}), 0.299563f, 22.366787f, -0.204808f);
}

// Scene 6: the giant ball from above and outside.
void placeGiantBallFromAbove() {
    placeLookingAt(-48.465942f, 53.875366f, -58.708519f, -43.806816f, 48.495758f, -51.683372f);
}

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
    if (held(platform::VK_ESCAPE)) requestQuit(demoWindow);
    if (held(platform::characterKey('W'))) demoCamera.moveAlongView(kMoveStep);
    if (held(platform::characterKey('S'))) demoCamera.moveAlongView(-kMoveStep);
    if (held(platform::characterKey('A'))) demoCamera.strafeSideways(-kMoveStep);
    if (held(platform::characterKey('D'))) demoCamera.strafeSideways(kMoveStep);
    if (held(platform::VK_NUMPAD3)) {  // not 'C' (67)
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
        placeTowerFromBelow();
    } else if (e < 38000) {
        sceneIndex = 1;
        overlayIndex = 1;
        placeTowerFromBelow();
    } else if (e < 60000) {
        sceneIndex = 2;
        placeInsideTower();
    } else if (e <= 80000) {
        sceneIndex = 3;
        placeDrift();
    } else if (e < 86000) {
        sceneIndex = 4;
        placeUnderRisingBalls();
    } else {
        sceneIndex = 6;
        overlayIndex = e < 90000 ? 3 : e < 106000 ? 4 : 5;
        placeGiantBallFromAbove();
    }
}
