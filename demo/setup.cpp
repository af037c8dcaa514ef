// Setting the show up once its window exists, and tearing it down before the window
// closes: GL state, font, pictures, camera, tables, light, quadric, music and clock.

#include "base/html_log.h"
#include "base/startup_phases.h"
#include "demo/demo.h"
#include "demo/demo_globals.h"
#include "demo/scene_draw.h"
#include "demo/scene_tables.h"
#include "engine/bitmap_font.h"
#include "gfx/gfx.h"
#include "pictures/texture_tga.h"
#include "platform/clock.h"
#include "sound/sound_library.h"

namespace {

constexpr std::int32_t kMusicFrequency = 22050;
constexpr std::int32_t kMusicVolume = 255;

const float kLightAmbient[4] = {0.7f, 0.7f, 0.7f, 1.0f};
const float kLightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float kLightPosition[4] = {0.0f, 0.0f, 0.0f, 1.0f};

struct SpriteFile {
    MaskedSprite* sprite;
    const char* name;
};

// In this order: each picture is loaded and its sprite set up before the next.
const SpriteFile kSpriteFiles[] = {
    {&maskSprite, "mask.tga"}, {&textSprite, "text.tga"}, {&shineSprite, "shine.tga"}, {&t1Sprite, "t1.tga"},
    {&t2Sprite, "t2.tga"},     {&creSprite, "cre.tga"},   {&cre2Sprite, "cre2.tga"},
};

void setStandingState() {
    gfx::enable(gfx::kTexture2D);
    gfx::clearColor(0.0f, 0.2f, 0.5f, 0.0f);
    gfx::clearDepth(1.0);
    gfx::depthFunc(gfx::kLequal);
    gfx::enable(gfx::kDepthTest);
    gfx::shadeModel(gfx::kSmooth);
    gfx::blendFunc(gfx::kSrcAlpha, gfx::kOne);
    gfx::hint(gfx::kPerspectiveCorrectionHint, gfx::kNicest);
}

}  // namespace

bool initialiseDemo(AppWindow* window, KeyState* keys) {
    clearLog();
    demoWindow = window;
    demoKeys = keys;
    setStandingState();
    createFontLists(window->deviceContext);
    base::markPhase("fonts");

    // A picture that fails to load leaves texture 0 and the show goes on without it.
    for (const SpriteFile& file : kSpriteFiles) {
        file.sprite->imageTexture = loadTgaTexture(showDataFile(file.name).c_str());
        file.sprite->start(false);
        file.sprite->setFrameDelay(20);
        file.sprite->setFrameCount(1);
        file.sprite->setSize(2.0f, 1.5f);
    }
    base::markPhase("sprite pictures");
    demoModel.texture = loadTgaTexture(showDataFile("mivra.tga").c_str());
    demoModel.computeFaceNormals();
    demoModel.framerate = 12;
    base::markPhase("model");

    demoCamera.place(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -10.0f, 0.0f, 1.0f, 0.0f);
    demoTicks = 0.0f;

    ballTexture = loadTgaTexture(showDataFile("ball.tga").c_str());
    ballSurfaceTexture = loadTgaTexture(showDataFile("ball_sur.tga").c_str());
    buildSculptureTables();
    buildBallGrid();
    base::markPhase("ball pictures and tables");

    // Given while the model-view matrix is the identity and never again, the light sits at
    // the eye whatever the camera does.
    gfx::lightfv(gfx::kLight0, gfx::kAmbient, kLightAmbient);
    gfx::lightfv(gfx::kLight0, gfx::kDiffuse, kLightDiffuse);
    gfx::lightfv(gfx::kLight0, gfx::kPosition, kLightPosition);
    gfx::enable(gfx::kLight0);

    sphereQuadric = gfx::newQuadric();
    gfx::quadricNormals(sphereQuadric, gfx::kGluSmooth);
    gfx::quadricTexture(sphereQuadric, gfx::kTrue);
    gfx::texGeni(gfx::kS, gfx::kTextureGenMode, gfx::kSphereMap);
    gfx::texGeni(gfx::kT, gfx::kTextureGenMode, gfx::kSphereMap);

    // Nothing is checked: music that does not load or start ends the show at its first frame.
    soundSystem.loadSample(showDataFile("music.wma").c_str(), kMusicRecord, false);
    soundSystem.play(kMusicRecord, kMusicFrequency, kMusicVolume);
    base::markPhase("music");

    gfx::enable(gfx::kLineSmooth);
    gfx::lineWidth(5.0f * showPixelScale());

    startTick = platform::tickCount();
    sceneIndex = 0;
    overlayIndex = 0;
    base::markPhase("set-up");
    return true;
}

void deinitialiseDemo() {
    deleteFontLists();
    // Each set-up makes a new quadric; give the old one back rather than leak one a toggle.
    releaseCompiledGeometry();
    if (sphereQuadric != nullptr) gfx::deleteQuadric(sphereQuadric);
    sphereQuadric = nullptr;
    soundSystem.freeSample(kMusicRecord);
    sound::close();
}
