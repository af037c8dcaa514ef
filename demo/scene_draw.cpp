// drawDemo: clears, runs the timeline, and draws the scene and overlays it calls for, in
// immediate mode or, for the spheres and the tower, from compiled geometry.
#include "demo/scene_draw.h"

#include <cmath>
#include <vector>

#include "base/numbers.h"
#include "demo/demo.h"
#include "demo/demo_globals.h"
#include "demo/scene_tables.h"
#include "demo/timeline.h"
#include "gfx/gfx.h"

SceneStats sceneStats;

namespace {

constexpr int kLayers = 120;

// max(v, 0.2) with the float 0.2 in the comparison and the result.
float atLeastOneFifth(double value) {
    constexpr float kFloor = 0.2f;
    return value < kFloor ? kFloor : static_cast<float>(value);
}

constexpr int kLayerVertices = 18 * 36;

DrawingPath currentPath = DrawingPath::kCompiled;

// One layer's vertices in the order drawn; both paths take their floats from here.
template <typename Emit>
void forEachLayerVertex(int layer, bool circling, double offsetX, double offsetZ, Emit emit) {
    for (int j = 0; j < 18; ++j) {
        for (int k = 0; k < 36; ++k) {
            const float y = static_cast<float>(layer) + sculptureY[k][j];
            if (circling) {
                emit(static_cast<float>(sculptureX[k][j] + offsetX), y, static_cast<float>(sculptureZ[k][j] + offsetZ));
            } else {
                emit(sculptureX[k][j], y, sculptureZ[k][j]);
            }
        }
    }
}

// What kCompiled keeps between frames. GL names belong to the context that was current at
// set-up; a new quadric means a new set-up, maybe in a new context, so they are made again.
struct CompiledGeometry {
    gfx::Quadric madeFor = nullptr;
    unsigned sphereList = 0;
    unsigned towerBuffer = 0;
    // The tower's layers as the buffer holds them: both passes draw the same floats (the
    // mirror is a scale), and only the circling tower of scene 1 moves them.
    bool towerFilled = false;
    bool towerCircling = false;
    double towerOffsetX = 0.0;
    double towerOffsetZ = 0.0;
    std::vector<float> towerVertices;
};
CompiledGeometry compiled;

void forgetGeometryOfAnotherSetUp() {
    if (compiled.madeFor == sphereQuadric) return;
    compiled = CompiledGeometry{};
    compiled.madeFor = sphereQuadric;
}

void emitSphere() { gfx::sphere(sphereQuadric, 0.35, 32, 16); }

void drawSphere() {
    if (currentPath == DrawingPath::kCompiled) {
        forgetGeometryOfAnotherSetUp();
        if (compiled.sphereList == 0 && (compiled.sphereList = gfx::genLists(1)) != 0) {
            gfx::newList(compiled.sphereList, gfx::kCompile);
            emitSphere();
            gfx::endList();
        }
        if (compiled.sphereList != 0) {
            gfx::callList(compiled.sphereList);
            return;
        }
    }
    emitSphere();
}

// Binds a buffer holding this frame's 120 layers, filled anew only when they moved; false,
// with nothing bound, when the driver gives no buffer.
bool bindTowerBuffer(bool circling, double offsetX, double offsetZ) {
    forgetGeometryOfAnotherSetUp();
    CompiledGeometry& c = compiled;
    if (c.towerBuffer == 0) gfx::genBuffers(1, &c.towerBuffer);
    if (c.towerBuffer == 0) return false;
    gfx::bindBuffer(gfx::kArrayBuffer, c.towerBuffer);
    const bool moved = circling && (c.towerOffsetX != offsetX || c.towerOffsetZ != offsetZ);
    if (c.towerFilled && c.towerCircling == circling && !moved) return true;
    c.towerVertices.clear();
    c.towerVertices.reserve(std::size_t{kLayers} * kLayerVertices * 3);
    for (int i = 0; i < kLayers; ++i) {
        forEachLayerVertex(i, circling, offsetX, offsetZ, [&](float x, float y, float z) {
            c.towerVertices.insert(c.towerVertices.end(), {x, y, z});
        });
    }
    gfx::bufferData(gfx::kArrayBuffer, static_cast<std::ptrdiff_t>(c.towerVertices.size() * sizeof(float)),
                    c.towerVertices.data(), circling ? gfx::kStreamDraw : gfx::kStaticDraw);
    c.towerFilled = true;
    c.towerCircling = circling;
    c.towerOffsetX = offsetX;
    c.towerOffsetZ = offsetZ;
    return true;
}

// The tower of rings: two passes of 120 layers, the second mirrored in x.
void drawLineSculpture() {
    const float t = demoTicks;
    const bool circling = sceneIndex == 1;
    // In scene 1 the tower circles on a 5-unit radius, once every 360 ticks.
    const double offsetX = 5.0 * std::sin(t * kPi / 180.0);
    const double offsetZ = 5.0 * std::cos(t * kPi / 180.0);
    const bool fromBuffer = currentPath == DrawingPath::kCompiled && bindTowerBuffer(circling, offsetX, offsetZ);
    if (fromBuffer) {
        gfx::vertexPointer(3, gfx::kFloat, 0, nullptr);
        gfx::enableClientState(gfx::kVertexArray);
    }
    gfx::enable(gfx::kBlend);
    for (int mirrored = 0; mirrored < 2; ++mirrored) {
        for (int i = 0; i < kLayers; ++i) {
            gfx::loadIdentity();
            demoCamera.applyLookAt();
            gfx::color4f(1.0f, 0.3f, 0.6f, 0.5f);
            if (mirrored == 1) gfx::scalef(-1.0f, 1.0f, 1.0f);
            const float angle = circling ? 5.0f * static_cast<float>(i) + t : 4.0f * t + 5.0f * static_cast<float>(i);
            gfx::rotatef(angle, 0.0f, 1.0f, 0.0f);
            if (fromBuffer) {
                gfx::drawArrays(gfx::kLines, i * kLayerVertices, kLayerVertices);
            } else {
                gfx::begin(gfx::kLines);
                forEachLayerVertex(i, circling, offsetX, offsetZ,
                                   [](float x, float y, float z) { gfx::vertex3f(x, y, z); });
                gfx::end();
            }
            sceneStats.sculptureVertices += kLayerVertices;
            // After glEnd, not as a last vertex attribute: inside the pair it left llvmpipe's
            // lines depending on how many vertices earlier frames had sent, so a replayed
            // (seeked) frame could differ from the same frame of a full run.
            if (mirrored == 1) gfx::color4f(1.0f, 1.0f, 1.0f, 1.0f);
        }
    }
    gfx::disable(gfx::kBlend);
    if (fromBuffer) {
        gfx::disableClientState(gfx::kVertexArray);
        gfx::bindBuffer(gfx::kArrayBuffer, 0);
    }
}

// Scene 3: 90 balls on three tilted sets of five rings; outer rings turn faster.
void drawBallRings() {
    const float t = demoTicks;
    for (int a = 0; a < 3; ++a) {
        for (int i = 1; i <= 6; ++i) {
            for (int k = 0; k < 5; ++k) {
                gfx::loadIdentity();
                demoCamera.applyLookAt();
                gfx::rotatef(static_cast<float>(6 - k) * t / 10.0f, 0.0f, 0.0f, 1.0f);
                gfx::rotatef(60.0f * static_cast<float>(a), 1.0f, 0.0f, 0.0f);
                gfx::translatef(ballGrid[k][i].x, ballGrid[k][i].y, -3.7f);
                drawBall();
            }
        }
    }
    // Repeated as the show always has: each call is in its frame's GL stream. Opaque white,
    // no blending, whatever the balls left.
    gfx::color3f(1.0f, 1.0f, 1.0f);
    gfx::color4f(1.0f, 1.0f, 1.0f, 1.0f);
    gfx::disable(gfx::kBlend);
    gfx::color4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// Scene 6: one ball of radius 49 turning with the clock.
void drawGiantBall() {
    gfx::loadIdentity();
    demoCamera.applyLookAt();
    gfx::translatef(-10.0f, 10.0f, -10.0f);
    gfx::translatef(-0.4f, -0.8f, 0.0f);
    gfx::rotatef(demoTicks, 0.0f, 1.0f, 0.0f);
    gfx::scalef(140.0f, 140.0f, 140.0f);
    drawBall();
}

// Scene 4: ten balls at one rising point; their additive shells add up.
void drawRisingBalls() {
    for (int n = 0; n < 10; ++n) {
        gfx::loadIdentity();
        demoCamera.applyLookAt();
        gfx::translatef(0.302065f, demoTicks / 15.0f + 12.366753f, -0.212369f);
        drawBall();
    }
}

bool modelViewIsFinite() {
    float m[16];
    gfx::getFloatv(gfx::kModelviewMatrix, m);
    for (const float value : m)
        if (!std::isfinite(value)) return false;
    return true;
}

// Overlay 1: thirty balls in eye space, each transform built on all before it. The scale
// compounds by 40 a ball, so from about the 25th the matrix leaves the float range; such
// balls are skipped rather than handed to the driver as infinities.
void drawBallChain() {
    const float t = demoTicks;
    gfx::loadIdentity();
    gfx::translatef(static_cast<float>(2.0 * std::sin(t / 10.0) + 3.0), static_cast<float>(std::sin(t / 100.0)),
                    -24.0f);
    for (int n = 0; n < 30; ++n) {
        gfx::rotatef(-t / 3.0f, 0.0f, 1.0f, 0.0f);
        gfx::translatef(static_cast<float>(-n / 10), 0.0f, 0.0f);
        gfx::scalef(40.0f, 40.0f, 40.0f);
        gfx::rotatef(-t / 3.0f, 0.0f, 1.0f, 0.0f);
        if (modelViewIsFinite()) {
            drawBall();
        } else {
            ++sceneStats.skippedBalls;
        }
    }
}

struct SpriteDraw {
    MaskedSprite* sprite;
    float alpha;
    bool swayed;  // moved sideways by sway / 20; the band's frame stays put
};

// The sprites of a frame in drawing order, all 1.7 units ahead: in scene 6 the glow and the
// credits pages of overlays 3, 4 and 5, then over every frame the band's frame and the
// scene's title and glow.
int chooseSprites(double sway, SpriteDraw (&out)[8]) {
    int count = 0;
    const auto add = [&](MaskedSprite& sprite, float alpha, bool swayed) { out[count++] = {&sprite, alpha, swayed}; };
    if (overlayIndex == 3) {
        add(shineSprite, 1.0f, true);
    } else if (overlayIndex == 4 || overlayIndex == 5) {
        add(shineSprite, atLeastOneFifth(sway / 2.0), true);
        add(overlayIndex == 4 ? creSprite : cre2Sprite, 1.0f, true);
    }
    add(maskSprite, 0.5f, false);
    switch (sceneIndex) {
        case 1: add(textSprite, atLeastOneFifth(sway) + 0.2f, true); break;
        case 2:
            add(t1Sprite, 0.5f, true);
            add(shineSprite, atLeastOneFifth(sway) + 0.35f, true);
            break;
        case 4: add(shineSprite, atLeastOneFifth(sway) + 0.35f, true); break;
        case 3:
            add(shineSprite, atLeastOneFifth(sway / 2.0), true);
            add(t2Sprite, 0.5f, true);
            break;
        case 6: add(shineSprite, atLeastOneFifth(sway / 2.0), true); break;
        default: break;
    }
    return count;
}

double currentSway() { return std::sin(demoTicks / 100.0); }

void drawSprites() {
    SpriteDraw sprites[8];
    const double sway = currentSway();
    const int count = chooseSprites(sway, sprites);
    for (int i = 0; i < count; ++i) {
        gfx::loadIdentity();
        gfx::translatef(sprites[i].swayed ? static_cast<float>(sway / 20.0) : 0.0f, 0.0f, -1.7f);
        sceneStats.sprites[sceneStats.spriteCount++] = sprites[i].sprite;
        sprites[i].sprite->draw(sprites[i].alpha);
    }
}

}  // namespace

void useDrawingPath(DrawingPath path) { currentPath = path; }

DrawingPath drawingPath() { return currentPath; }

void releaseCompiledGeometry() {
    if (compiled.madeFor == sphereQuadric) {
        if (compiled.sphereList != 0) gfx::deleteLists(compiled.sphereList, 1);
        if (compiled.towerBuffer != 0) gfx::deleteBuffers(1, &compiled.towerBuffer);
    }
    compiled = CompiledGeometry{};
}

void drawBall() {
    gfx::enable(gfx::kLighting);
    gfx::color3f(1.0f, 1.0f, 1.0f);
    if (sceneIndex == 3) {
        gfx::bindTexture(gfx::kTexture2D, ballTexture);
        drawSphere();
        ++sceneStats.spheres;
    }
    gfx::bindTexture(gfx::kTexture2D, sceneIndex == 6 ? demoModel.texture : ballSurfaceTexture);
    gfx::color4f(1.0f, 1.0f, 1.0f, 0.4f);
    gfx::enable(gfx::kBlend);
    gfx::blendFunc(gfx::kSrcAlpha, gfx::kOne);
    gfx::enable(gfx::kTextureGenS);
    gfx::enable(gfx::kTextureGenT);
    drawSphere();
    ++sceneStats.spheres;
    ++sceneStats.balls;
    gfx::disable(gfx::kTextureGenS);
    gfx::disable(gfx::kTextureGenT);
    gfx::disable(gfx::kBlend);
    gfx::disable(gfx::kLighting);
}

void drawDemo() {
    sceneStats = SceneStats{};
    gfx::clear(gfx::kColorBufferBit | gfx::kDepthBufferBit);
    // Wide lines may be drawn up to half their width outside the viewport; the scissor
    // keeps the letterbox rows as the clear left them.
    gfx::enable(gfx::kScissorTest);
    selectScene();
    gfx::loadIdentity();
    if (sceneIndex == 1 || sceneIndex == 2 || sceneIndex == 4) drawLineSculpture();
    if (sceneIndex == 3) drawBallRings();
    if (sceneIndex == 6) drawGiantBall();
    if (sceneIndex == 4) drawRisingBalls();
    if (overlayIndex == 1) drawBallChain();
    drawSprites();
    gfx::disable(gfx::kScissorTest);
    gfx::flush();
}

void skipDemoFrame() {
    selectScene();
    SpriteDraw sprites[8];
    const int count = chooseSprites(currentSway(), sprites);
    for (int i = 0; i < count; ++i) sprites[i].sprite->step();
}
