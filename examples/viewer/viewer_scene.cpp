// The viewer's scene through its set-up, per-frame update, drawing and tear-down.
#include "examples/viewer/viewer_scene.h"

#include <cstdio>

#include "base/report.h"
#include "engine/bitmap_font.h"
#include "engine/camera.h"
#include "examples/viewer/viewer_texture.h"
#include "gfx/gfx.h"
#include "platform/input.h"
#include "platform/window.h"

namespace {

const float kBackground[4] = {0.10f, 0.12f, 0.18f, 1.0f};
const float kFirstDiffuse[4] = {0.95f, 0.95f, 0.95f, 1.0f};
// The second instance is tinted blue, so the two stay told apart when they meet.
const float kSecondDiffuse[4] = {0.55f, 0.7f, 1.0f, 1.0f};
const float kAmbient[4] = {0.35f, 0.35f, 0.4f, 1.0f};
const float kLightColour[4] = {0.9f, 0.9f, 0.85f, 1.0f};
// Directional, from above, in front and to the right of the models, in world coordinates.
const float kLightDirection[4] = {0.4f, 1.0f, 0.8f, 0.0f};

}  // namespace

void ViewerScene::prepare(const Model& model, const std::string& textureFile) {
    first = model;
    second = model;
    texturePath = textureFile;
    extent = sweptExtent(first);
    camera = frameExtent(extent);
    moveSpeed = 0.5f * extent.radius();
    first.setPosition(0.0f, 0.0f, 0.0f);
    second.setPosition(secondModelOffset(first, extent), 0.0f, 0.0f);
    hud = HudState{};
    hud.frameCount = first.numofframe;
}

bool ViewerScene::initialise(AppWindow* appWindow, KeyState* keyState) {
    window = appWindow;
    keys = keyState;
    presses.reset();
    createFontLists(window->deviceContext);

    gfx::clearColor(kBackground[0], kBackground[1], kBackground[2], kBackground[3]);
    gfx::clearDepth(1.0);
    gfx::enable(gfx::kDepthTest);
    gfx::depthFunc(gfx::kLequal);
    gfx::shadeModel(gfx::kSmooth);
    gfx::lightModelfv(gfx::kLightModelAmbient, kAmbient);
    gfx::lightfv(gfx::kLight0, gfx::kDiffuse, kLightColour);
    gfx::enable(gfx::kLight0);
    gfx::texEnvi(gfx::kTextureEnv, gfx::kTextureEnvMode, gfx::kModulate);

    texture = 0;
    if (!texturePath.empty()) {
        const ViewerTexture loaded = loadViewerTexture(texturePath);
        texture = loaded.name;
        if (texture == 0 && !textureReported) {
            base::reportf(base::Level::kWarning, "%s; drawing untextured", loaded.problem.c_str());
        }
        textureReported = true;
    }
    first.texture = texture;
    second.texture = texture;
    return true;
}

void ViewerScene::applyKeys(std::uint32_t milliseconds) {
    presses.update(*keys, currentKeyToggles());
    // Held, or tapped between two frames.
    if ((*keys)[platform::VK_ESCAPE] != 0 || presses.pressed(platform::VK_ESCAPE)) requestQuit(window);
    if (presses.pressed(kKeyWireframe)) {
        first.toggleWireframe();
        second.toggleWireframe();
    }
    if (presses.pressed(kKeyNormals)) showNormals = !showNormals;
    if (presses.pressed(kKeyPause)) {
        first.paused = !first.paused;
        second.paused = first.paused;
    }
    const Vector3 move = movementFromKeys(*keys, milliseconds, moveSpeed);
    second.setPosition(second.getPosX() + move.x, second.getPosY() + move.y, second.getPosZ() + move.z);
}

void ViewerScene::update(std::uint32_t milliseconds) {
    if (keys != nullptr) applyKeys(milliseconds);
    hud.overlapping = collision.test(first, second);
    hud.overlapCount = collision.overlapCount;
    // The side is read only after a test that found the boxes meeting.
    hud.contactSide = hud.overlapping ? collision.contactSide(first, second) : 0;
}

void ViewerScene::drawInstance(Model& model, const float* diffuse) {
    gfx::materialfv(gfx::kFrontAndBack, gfx::kDiffuse, diffuse);
    gfx::materialfv(gfx::kFrontAndBack, gfx::kAmbient, diffuse);
    gfx::pushMatrix();
    gfx::translatef(model.getPosX(), model.getPosY(), model.getPosZ());
    // A joint's line loop runs through its faces edge-on to their normals; lit, it comes
    // out nearly black, so wireframes are drawn unlit.
    if (!model.wireframe) gfx::enable(gfx::kLighting);
    if (texture != 0) gfx::enable(gfx::kTexture2D);
    model.draw(-1);
    gfx::disable(gfx::kTexture2D);
    gfx::disable(gfx::kLighting);
    if (showNormals) model.drawNormals();
    gfx::popMatrix();
}

void ViewerScene::drawBoxAt(const Model& model) const {
    // drawBox leaves out the position; the box must stand where test sees it.
    gfx::pushMatrix();
    gfx::translatef(model.getPosX(), model.getPosY(), model.getPosZ());
    collision.drawBox(model);
    gfx::popMatrix();
}

void ViewerScene::draw() {
    int width = 0, height = 0;
    platform::getClientSize(window->windowHandle, width, height);
    if (width <= 0 || height <= 0) return;
    // The shell's view letterboxes the show into a band; a viewer wants the whole client
    // area, so the viewport and projection are set here every frame (a resize included).
    gfx::viewport(0, 0, width, height);
    gfx::matrixMode(gfx::kProjection);
    gfx::loadIdentity();
    gfx::perspective(45.0, static_cast<double>(width) / static_cast<double>(height), camera.nearPlane, camera.farPlane);
    gfx::matrixMode(gfx::kModelview);
    gfx::loadIdentity();
    gfx::clear(gfx::kColorBufferBit | gfx::kDepthBufferBit);

    Camera view;
    view.place(camera.eye.x, camera.eye.y, camera.eye.z, camera.target.x, camera.target.y, camera.target.z, 0.0f, 1.0f,
               0.0f);
    view.applyLookAt();
    // Set after the view transform: the light stays put in the world as the camera looks.
    gfx::lightfv(gfx::kLight0, gfx::kPosition, kLightDirection);

    gfx::enable(gfx::kDepthTest);
    drawInstance(first, kFirstDiffuse);
    drawInstance(second, kSecondDiffuse);

    // The boxes as outlines: filled, their additive faces stack up to solid white and hide
    // the models inside. They test against depth but write none.
    gfx::depthMask(gfx::kFalse);
    gfx::polygonMode(gfx::kFrontAndBack, gfx::kLine);
    drawBoxAt(first);
    drawBoxAt(second);
    gfx::polygonMode(gfx::kFrontAndBack, gfx::kFill);
    gfx::depthMask(gfx::kTrue);

    hud.currentFrame = first.currentFrame;
    hud.frameCount = first.numofframe;
    hud.paused = first.paused;
    hud.wireframe = first.wireframe;
    hud.normals = showNormals;
    drawHud(hud, width, height);
}

void ViewerScene::deinitialise() {
    if (texture != 0) {
        const unsigned name = texture;
        gfx::deleteTextures(1, &name);
    }
    texture = 0;
    first.texture = 0;
    second.texture = 0;
    deleteFontLists();
    window = nullptr;
    keys = nullptr;
}
