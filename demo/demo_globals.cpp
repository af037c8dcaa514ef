// The demo's globals in one place, because their order of construction matters: the
// objects are built top to bottom before main and destroyed bottom to top after it, so the
// sound system (built last) closes the sound library first.
#include "demo/demo_globals.h"

#include "gfx/gfx.h"

Camera demoCamera;

MaskedSprite maskSprite;
Model demoModel;
MaskedSprite textSprite;
MaskedSprite shineSprite;
MaskedSprite t1Sprite;
MaskedSprite t2Sprite;
MaskedSprite creSprite;
MaskedSprite cre2Sprite;

SoundSystem soundSystem(1);

AppWindow* demoWindow = nullptr;
KeyState* demoKeys = nullptr;
std::uint32_t ballTexture = 0;
std::uint32_t ballSurfaceTexture = 0;
gfx::Quadric sphereQuadric = nullptr;
std::uint32_t startTick = 0;
std::uint32_t frameTick = 0;
float demoTicks = 0.0f;
int sceneIndex = 0;
int overlayIndex = 0;
