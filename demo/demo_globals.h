// The demo's global objects and its plain state, all defined in demo_globals.cpp.
#pragma once

#include <cstdint>

#include "engine/camera.h"
#include "engine/masked_sprite.h"
#include "gfx/gfx.h"
#include "model/model.h"
#include "shell/app_window.h"
#include "sound/sound_system.h"

// The one camera.
extern Camera demoCamera;
// The full-view pictures, all drawn unmasked with one frame.
extern MaskedSprite maskSprite;
extern MaskedSprite textSprite;
extern MaskedSprite shineSprite;
extern MaskedSprite t1Sprite;
extern MaskedSprite t2Sprite;
extern MaskedSprite creSprite;
extern MaskedSprite cre2Sprite;
// Never loaded: its texture holds the giant ball's picture.
extern Model demoModel;
// One record, kMusicRecord: the music. Constructed last of the objects, so destroyed first.
extern SoundSystem soundSystem;
constexpr std::int32_t kMusicRecord = 0;

// Given to initialiseDemo.
extern AppWindow* demoWindow;
extern KeyState* demoKeys;

// Textures of the scene-3 balls and of every ball's sphere-mapped shell.
extern std::uint32_t ballTexture;
extern std::uint32_t ballSurfaceTexture;
extern gfx::Quadric sphereQuadric;

// Tick read as the last step of set-up; elapsed show time is measured from it.
extern std::uint32_t startTick;
// Tick read by each update.
extern std::uint32_t frameTick;
// Animation clock in 20 ms units, from the tick itself (not from the start).
extern float demoTicks;
// 1, 2, 3, 4 or 6 once a frame has been drawn; 0 before.
extern int sceneIndex;
// 0 (none), 1, 3, 4 or 5.
extern int overlayIndex;
