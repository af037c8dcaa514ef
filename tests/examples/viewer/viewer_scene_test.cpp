// The model viewer's scene in a real offscreen OpenGL context: it draws the model where the
// camera looks, its keys toggle and move, and its textures take the route their names ask for.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "engine/bitmap_font.h"
#include "examples/viewer/viewer_hud.h"
#include "examples/viewer/viewer_scene.h"
#include "examples/viewer/viewer_setup.h"
#include "examples/viewer/viewer_texture.h"
#include "platform/input.h"
#include "platform/window.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/report_capture.h"
#include "tests/support/temp_dir.h"

using testing_support::GlTestContext;
using testing_support::TempWorkingDir;
using testing_support::writeFileBytes;

namespace {

const std::string kModels = OYUN_SAMPLE_MODELS;

// A 2 x 2, 24-bit Windows bitmap.
std::string tinyBitmap() {
    auto little = [](std::uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
        return out;
    };
    std::string file = "BM" + little(70, 4) + little(0, 4) + little(54, 4);
    file += little(40, 4) + little(2, 4) + little(2, 4) + little(1, 2) + little(24, 2) + little(0, 4) + little(16, 4) +
            little(2835, 4) + little(2835, 4) + little(0, 4) + little(0, 4);
    const std::string row = std::string("\x00\x00\xFF\x00\xFF\x00", 6) + std::string(2, '\0');
    return file + row + row;
}

class ViewerSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(context.ok());
        window.windowHandle = context.window();
        window.deviceContext = context.deviceContext();
        window.keyState = &keys;
        std::string error;
        ASSERT_TRUE(loadViewerModel(kModels + "/walker.txt", model, error)) << error;
    }

    void start(const std::string& texture) {
        scene.prepare(model, texture);
        ASSERT_TRUE(scene.initialise(&window, &keys));
    }

    // Pixels of a square at the centre of the picture that are not the clear colour.
    int foregroundAtCentre() {
        const int side = 40;
        const std::vector<std::uint8_t> pixels = context.readPixels(kWidth / 2 - side / 2, kHeight / 2, side, side);
        GLfloat clear[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        int count = 0;
        for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) {
            for (int c = 0; c < 3; ++c) {
                if (std::abs(pixels[i + c] - static_cast<int>(clear[c] * 255.0f + 0.5f)) > 8) {
                    ++count;
                    break;
                }
            }
        }
        return count;
    }

    static constexpr int kWidth = 320;
    static constexpr int kHeight = 240;
    TempWorkingDir dir;
    GlTestContext context{kWidth, kHeight};
    AppWindow window{};
    KeyState keys{};
    Model model;
    ViewerScene scene;
};

TEST_F(ViewerSceneTest, DrawsTheTexturedModelInTheMiddleAndGivesEverythingBack) {
    start(kModels + "/walker.tga");
    EXPECT_NE(scene.texture, 0u);
    EXPECT_EQ(scene.first.texture, scene.texture);
    EXPECT_EQ(scene.second.texture, scene.texture);
    EXPECT_EQ(scene.second.joints, scene.first.joints);  // one set of arrays
    scene.update(16);
    scene.draw();
    EXPECT_GT(foregroundAtCentre(), 40 * 40 / 4);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const GLuint texture = scene.texture;
    scene.deinitialise();
    EXPECT_EQ(scene.texture, 0u);
    EXPECT_FALSE(glIsTexture(texture));
}

TEST_F(ViewerSceneTest, KeysToggleOncePerPressAndTheArrowsMoveOnlyTheSecondModel) {
    start("");
    scene.update(16);
    const float startX = scene.second.getPosX();
    EXPECT_FALSE(scene.hud.overlapping);

    keys[kKeyWireframe] = 1;
    keys[kKeyPause] = 1;
    keys[kKeyNormals] = 1;
    scene.update(16);
    scene.update(16);  // still held: no second toggle
    EXPECT_TRUE(scene.first.wireframe);
    EXPECT_TRUE(scene.second.wireframe);
    EXPECT_TRUE(scene.first.paused);
    EXPECT_TRUE(scene.second.paused);
    EXPECT_TRUE(scene.showNormals);
    keys[kKeyWireframe] = keys[kKeyPause] = keys[kKeyNormals] = 0;
    scene.update(16);
    scene.draw();
    EXPECT_TRUE(scene.hud.paused);
    EXPECT_TRUE(scene.hud.wireframe);
    EXPECT_TRUE(scene.hud.normals);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    keys[platform::VK_LEFT] = 1;
    scene.update(80);
    EXPECT_FLOAT_EQ(scene.second.getPosX(), startX - scene.moveSpeed * 0.08f);
    EXPECT_EQ(scene.first.getPosX(), 0.0f);
    // Walked left until the boxes meet: it still stands at a greater x than the first, so the
    // least penetration is along x with the second model on the plus side.
    while (!scene.hud.overlapping && scene.second.getPosX() > -10.0f) scene.update(80);
    keys[platform::VK_LEFT] = 0;
    ASSERT_TRUE(scene.hud.overlapping);
    EXPECT_EQ(scene.hud.overlapCount, 3);
    EXPECT_EQ(scene.hud.contactSide, 2);
    scene.deinitialise();
}

TEST_F(ViewerSceneTest, EscapeHeldOrTappedAsksTheShellToQuit) {
    auto quitPosted = [this] {
        platform::Message message;
        bool quit = false;
        while (platform::peekMessage(message, context.window()))
            if (message.message == platform::WM_QUIT) quit = true;
        return quit;
    };
    start("");
    scene.update(16);
    EXPECT_FALSE(quitPosted());
    keys[platform::VK_ESCAPE] = 1;
    scene.update(16);
    EXPECT_TRUE(quitPosted());
    keys[platform::VK_ESCAPE] = 0;
    scene.update(16);
    EXPECT_FALSE(quitPosted());
    // Pressed and released between two frames: only the key's toggle bit tells.
    platform::setKeyHeld(platform::VK_ESCAPE, true);
    platform::setKeyHeld(platform::VK_ESCAPE, false);
    scene.update(16);
    EXPECT_TRUE(quitPosted());
    scene.deinitialise();
}

TEST_F(ViewerSceneTest, ABadTextureIsToldOnceAndTheModelDrawnUntextured) {
    testing_support::ReportCapture captured;
    start("missing.BMP");
    const std::string told = captured.written();
    EXPECT_EQ(told, "oyun: cannot open bitmap texture missing.BMP: No such file or directory; drawing untextured\n");
    EXPECT_EQ(scene.texture, 0u);
    scene.update(16);
    scene.draw();
    EXPECT_GT(foregroundAtCentre(), 40 * 40 / 4);
    scene.deinitialise();

    // The window reopened (a display-mode change): the same failure is not told again.
    captured.reports.clear();
    ASSERT_TRUE(scene.initialise(&window, &keys));
    EXPECT_EQ(captured.written(), "");
    scene.deinitialise();
}

TEST_F(ViewerSceneTest, TexturesTakeTheRouteTheirNameAsksFor) {
    writeFileBytes("tiny.bmp", tinyBitmap());
    writeFileBytes("tiny.BMP.tga", tinyBitmap());
    writeFileBytes("broken.tga", "not a picture at all");

    const ViewerTexture bitmap = loadViewerTexture("tiny.bmp");
    EXPECT_NE(bitmap.name, 0u) << bitmap.problem;
    EXPECT_EQ(bitmap.problem, "");

    // The same bytes named as TGA go to the TGA reader, which refuses them.
    const ViewerTexture misnamed = loadViewerTexture("tiny.BMP.tga");
    EXPECT_EQ(misnamed.name, 0u);
    EXPECT_EQ(misnamed.problem.rfind("cannot load TGA texture tiny.BMP.tga: ", 0), 0u) << misnamed.problem;

    const ViewerTexture broken = loadViewerTexture("broken.tga");
    EXPECT_EQ(broken.name, 0u);
    EXPECT_EQ(broken.problem.rfind("cannot load TGA texture broken.tga: ", 0), 0u) << broken.problem;
    EXPECT_GT(broken.problem.size(), std::string("cannot load TGA texture broken.tga: ").size());

    std::filesystem::create_directory("folder.bmp");
    EXPECT_EQ(loadViewerTexture("folder.bmp").problem, "cannot open bitmap texture folder.bmp: it is a directory");
    writeFileBytes("broken.bmp", "BM but nothing else");
    const ViewerTexture badBitmap = loadViewerTexture("broken.bmp");
    EXPECT_EQ(badBitmap.name, 0u);
    EXPECT_EQ(badBitmap.problem.rfind("cannot load bitmap texture broken.bmp: ", 0), 0u) << badBitmap.problem;
}

TEST_F(ViewerSceneTest, TheOverlayWritesItsTextAndLeavesTheGlStateAsFound) {
    createFontLists(context.deviceContext());
    glViewport(0, 0, kWidth, kHeight);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    std::array<GLfloat, 16> projection{}, modelView{};
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());

    drawHud(HudState{}, kWidth, kHeight);

    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.25f);
    EXPECT_FLOAT_EQ(colour[2], 0.75f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    std::array<GLfloat, 16> after{};
    glGetFloatv(GL_PROJECTION_MATRIX, after.data());
    EXPECT_EQ(after, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
    EXPECT_EQ(after, modelView);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The status lines stand at the top left, the help at the bottom left; the middle stays clear.
    auto lit = [this](int x, int y, int width, int height) {
        int count = 0;
        const std::vector<std::uint8_t> pixels = context.readPixels(x, y, width, height);
        for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) count += pixels[i] + pixels[i + 1] > 0 ? 1 : 0;
        return count;
    };
    EXPECT_GT(lit(0, kHeight - 100, kWidth, 100), 100);
    EXPECT_GT(lit(0, 0, kWidth, 60), 100);
    EXPECT_EQ(lit(0, 80, kWidth, 50), 0);
    deleteFontLists();
}

}  // namespace
