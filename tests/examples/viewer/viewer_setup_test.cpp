// The model viewer's logic without a window: its command line, texture route and companion
// texture, model loading, key presses and moves, overlay texts and camera framing.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "examples/viewer/viewer_hud.h"
#include "examples/viewer/viewer_input.h"
#include "examples/viewer/viewer_setup.h"
#include "examples/viewer/viewer_view.h"
#include "model/collision.h"
#include "platform/input.h"
#include "tests/model/model_test_support.h"
#include "tests/support/temp_dir.h"

using testing_support::TempWorkingDir;
using testing_support::writeFileBytes;

namespace {

const std::string kSampleModel = std::string(OYUN_SAMPLE_MODELS) + "/walker.txt";

ArgumentResult parse(const std::vector<const char*>& arguments, ViewerOptions& options, std::string& error) {
    std::vector<const char*> argv{"oyun-viewer"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return parseViewerArguments(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(ViewerArguments, TakeAModelAndAnOptionalTexture) {
    TempWorkingDir dir;
    ViewerOptions options;
    std::string error;
    ASSERT_EQ(parse({"walker.txt", "skin.BMP"}, options, error), ArgumentResult::Run);
    EXPECT_EQ(options.modelPath, "walker.txt");
    EXPECT_EQ(options.texturePath, "skin.BMP");
    EXPECT_TRUE(options.textureGiven);

    ASSERT_EQ(parse({"walker.txt"}, options, error), ArgumentResult::Run);
    EXPECT_EQ(options.texturePath, "");  // no walker.tga here
    EXPECT_FALSE(options.textureGiven);

    // "--" lets a file name start with a dash.
    ASSERT_EQ(parse({"--", "-odd.txt"}, options, error), ArgumentResult::Run);
    EXPECT_EQ(options.modelPath, "-odd.txt");
    EXPECT_EQ(parse({"-h"}, options, error), ArgumentResult::Help);
    EXPECT_EQ(parse({"walker.txt", "--help"}, options, error), ArgumentResult::Help);
}

TEST(ViewerArguments, RefuseWhatCannotBeMeant) {
    ViewerOptions options;
    std::string error;
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases{
        {{}, "no model file given"},
        {{"a.txt", "b.tga", "c.tga"}, "too many arguments"},
        {{"-x", "a.txt"}, "unknown option -x"},
        {{"--wireframe"}, "unknown option --wireframe"},
        {{""}, "an empty file name"},
        {{"--"}, "no model file given"},
    };
    for (const auto& [arguments, reason] : cases) {
        error.clear();
        EXPECT_EQ(parse(arguments, options, error), ArgumentResult::Usage) << reason;
        EXPECT_EQ(error, reason);
    }
}

TEST(ViewerArguments, FindTheTgaBesideTheModelByItsStem) {
    TempWorkingDir dir;
    std::filesystem::create_directories("models.d/folder.tga");
    writeFileBytes("models.d/walker.tga", "x");
    writeFileBytes("models.d/.hidden.tga", "x");
    EXPECT_EQ(companionTexturePath("models.d/walker.txt"), "models.d/walker.tga");
    EXPECT_EQ(companionTexturePath("models.d/walker"), "models.d/walker.tga");  // the dot of the folder is kept
    EXPECT_EQ(companionTexturePath("models.d/.hidden"), "models.d/.hidden.tga");
    EXPECT_EQ(companionTexturePath("models.d/other.txt"), "");
    EXPECT_EQ(companionTexturePath("models.d/folder.txt"), "");  // a directory is no picture

    ViewerOptions options;
    std::string error;
    ASSERT_EQ(parse({"models.d/walker.txt"}, options, error), ArgumentResult::Run);
    EXPECT_EQ(options.texturePath, "models.d/walker.tga");
    ASSERT_EQ(parse({"models.d/walker.txt", "given.tga"}, options, error), ArgumentResult::Run);
    EXPECT_EQ(options.texturePath, "given.tga");
}

TEST(ViewerTextureRoute, OnlyABmpEndingInAnyCaseTakesTheBitmapRoute) {
    for (const char* path : {"skin.bmp", "SKIN.BMP", "dir/a.Bmp", ".bmp"})
        EXPECT_EQ(textureRouteFor(path), TextureRoute::Bmp) << path;
    for (const char* path : {"skin.tga", "skin.bmp.tga", "skinbmp", "bmp", "skin.bm", "", "dir.bmp/skin"})
        EXPECT_EQ(textureRouteFor(path), TextureRoute::Tga) << path;
}

TEST(ViewerModel, LoadsTheSampleWithUnitNormals) {
    TempWorkingDir dir;
    Model model;
    std::string error;
    ASSERT_TRUE(loadViewerModel(kSampleModel, model, error)) << error;
    EXPECT_EQ(error, "");
    const ModelFace& face = model.joints[0].faces[0];
    EXPECT_NEAR(std::sqrt(face.nx * face.nx + face.ny * face.ny + face.nz * face.nz), 1.0f, 1e-5f);
}

TEST(ViewerModel, RefusalsNameTheFileAndTheReasonInOneLine) {
    TempWorkingDir dir;
    std::filesystem::create_directory("folder.txt");
    writeFileBytes("short.txt", "walker\nnumofjoints 1\nnumofframe 1\n");
    writeFileBytes("empty.txt", "nothing\nnumofjoints 0\nnumofframe 0\nframerate 12\n");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"nothere.txt", "cannot open model file nothere.txt: No such file or directory"},
        {"folder.txt", "cannot load model folder.txt: it is a directory"},
        {"short.txt", "short.txt:4: the file ends before"},
        {"empty.txt", "model empty.txt has no joints to show"},
    };
    for (const auto& [file, expected] : cases) {
        Model model;
        std::string error;
        EXPECT_FALSE(loadViewerModel(file, model, error)) << file;
        EXPECT_EQ(error.rfind(expected, 0), 0u) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(error.find("left empty"), std::string::npos) << error;
    }
}

class ViewerKeys : public ::testing::Test {
protected:
    KeyState keys{};
    KeyToggles toggles{};
    KeyPresses presses;
    void frame() { presses.update(keys, toggles); }
};

TEST_F(ViewerKeys, AHeldKeyIsOnePress) {
    frame();
    keys['W'] = 1;
    toggles['W'] = true;
    frame();
    EXPECT_TRUE(presses.pressed('W'));
    for (int i = 0; i < 3; ++i) {
        frame();
        EXPECT_FALSE(presses.pressed('W')) << "held frame " << i;
    }
    keys['W'] = 0;
    frame();
    EXPECT_FALSE(presses.pressed('W'));
    keys['W'] = 1;
    toggles['W'] = false;
    frame();
    EXPECT_TRUE(presses.pressed('W'));
    EXPECT_FALSE(presses.pressed('N'));
}

TEST_F(ViewerKeys, ATapBetweenTwoFramesIsSeenByItsToggle) {
    frame();
    toggles['P'] = true;  // pressed and released before the frame: the level stays 0
    frame();
    EXPECT_TRUE(presses.pressed('P'));
    frame();
    EXPECT_FALSE(presses.pressed('P'));
    // Released and pressed again between frames while the level reads held throughout.
    keys['P'] = 1;
    toggles['P'] = false;
    frame();
    EXPECT_TRUE(presses.pressed('P'));
    toggles['P'] = true;
    frame();
    EXPECT_TRUE(presses.pressed('P'));
}

TEST_F(ViewerKeys, AfterAResetOldTogglesAreNoPressAndKeysOutOfRangeNone) {
    toggles['W'] = true;  // a press from before the window opened
    presses.reset();
    frame();
    EXPECT_FALSE(presses.pressed('W'));
    EXPECT_FALSE(presses.pressed(-1));
    EXPECT_FALSE(presses.pressed(256));
}

TEST_F(ViewerKeys, ArrowsAndPageKeysMoveAtTheirSpeedWithLongFramesCut) {
    keys[platform::VK_RIGHT] = 1;
    Vector3 move = movementFromKeys(keys, 50, 2.0f);
    EXPECT_FLOAT_EQ(move.x, 0.1f);
    EXPECT_EQ(move.y, 0.0f);
    EXPECT_EQ(move.z, 0.0f);
    keys[platform::VK_LEFT] = 1;  // opposite keys cancel
    keys[platform::VK_UP] = 1;    // away from the viewer
    keys[kKeyPageUp] = 1;
    move = movementFromKeys(keys, 50, 2.0f);
    EXPECT_EQ(move.x, 0.0f);
    EXPECT_FLOAT_EQ(move.y, 0.1f);
    EXPECT_FLOAT_EQ(move.z, -0.1f);
    keys = KeyState{};
    keys[platform::VK_DOWN] = 1;
    keys[kKeyPageDown] = 1;
    move = movementFromKeys(keys, 5000, 2.0f);
    EXPECT_FLOAT_EQ(move.z, 2.0f * kLongestMoveStep / 1000.0f);
    EXPECT_FLOAT_EQ(move.y, -2.0f * kLongestMoveStep / 1000.0f);
}

TEST(ViewerHud, EveryContactSideNamesItsAxisAndSide) {
    HudState state;
    state.overlapping = true;
    state.overlapCount = 3;
    const char* expected[] = {
        "contact side: 1 (x, second model on the minus side)", "contact side: 2 (x, second model on the plus side)",
        "contact side: 3 (y, second model on the plus side)",  "contact side: 4 (y, second model on the minus side)",
        "contact side: 5 (z, second model on the plus side)",  "contact side: 6 (z, second model on the minus side)",
    };
    for (int side = 1; side <= 6; ++side) {
        state.contactSide = side;
        EXPECT_EQ(contactText(state), expected[side - 1]);
    }
    for (int side : {0, 7, -1}) {
        state.contactSide = side;
        EXPECT_EQ(contactText(state), "contact side: none (no axis of least penetration)") << side;
    }
    // Without an overlap a stale side means nothing.
    state.overlapping = false;
    state.contactSide = 2;
    EXPECT_EQ(contactText(state), "contact side: none");
}

TEST(ViewerHud, OverlapAndFrameLines) {
    HudState state;
    state.overlapCount = 2;
    EXPECT_EQ(overlapText(state), "boxes overlap: no (meet along 2 of 3 axes)");
    state.overlapping = true;
    state.overlapCount = 3;
    EXPECT_EQ(overlapText(state), "boxes overlap: yes (3 axes)");

    state.currentFrame = 0;
    state.frameCount = 12;
    EXPECT_EQ(frameText(state), "frame 1 of 12");
    state.currentFrame = 11;
    state.paused = true;
    state.wireframe = true;
    state.normals = true;
    EXPECT_EQ(frameText(state), "frame 12 of 12, paused, wireframe, normals");
    state = HudState{};
    EXPECT_EQ(frameText(state), "frame 0 of 0");

    const std::vector<std::string> lines = hudStatusLines(state);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], overlapText(state));
    EXPECT_EQ(lines[2], contactText(state));
}

TEST(ViewerView, PointsArePlacedAsDrawingPlacesThem) {
    auto expectNear = [](Vector3 p, float x, float y, float z) {
        EXPECT_NEAR(p.x, x, 1e-5f);
        EXPECT_NEAR(p.y, y, 1e-5f);
        EXPECT_NEAR(p.z, z, 1e-5f);
    };
    expectNear(placedPoint(Vector3(0, 1, 0), 0, 0, 0, 90, 0, 0), 0, 0, 1);
    expectNear(placedPoint(Vector3(0, 1, 0), 5, 0, 0, 90, 0, 0), 5, 0, 1);
    expectNear(placedPoint(Vector3(0, 0, 1), 0, 0, 0, 0, 90, 0), 1, 0, 0);
    expectNear(placedPoint(Vector3(1, 0, 0), 0, 0, 0, 0, 0, 90), 0, 1, 0);
    // The z turn comes first: (1,0,0) goes to (0,1,0), which the x turn takes to (0,0,1).
    expectNear(placedPoint(Vector3(1, 0, 0), 0, 0, 0, 90, 0, 90), 0, 0, 1);
}

TEST(ViewerView, TheCameraSeesTheWholeWalkAndTheInstancesStartApart) {
    TempWorkingDir dir;
    Model model;
    std::string error;
    ASSERT_TRUE(loadViewerModel(kSampleModel, model, error)) << error;
    const Extent extent = sweptExtent(model);
    // The figure stands on its hips' frame translation: far above its untransformed bounds.
    EXPECT_GT(extent.maximum.y, model.maxY + 1.0f);
    EXPECT_LE(extent.minimum.y, model.minY);

    const ViewerCamera camera = frameExtent(extent);
    const Vector3 axis = Normalized(camera.target - camera.eye);
    for (int corner = 0; corner < 8; ++corner) {
        const Vector3 p((corner & 1) ? extent.maximum.x : extent.minimum.x,
                        (corner & 2) ? extent.maximum.y : extent.minimum.y,
                        (corner & 4) ? extent.maximum.z : extent.minimum.z);
        const Vector3 toCorner = Normalized(p - camera.eye);
        const float cosine = toCorner.x * axis.x + toCorner.y * axis.y + toCorner.z * axis.z;
        EXPECT_GT(cosine, std::cos(22.5f * 3.14159265f / 180.0f)) << "corner " << corner << " outside the view";
        const float depth = Length(p - camera.eye) * cosine;
        EXPECT_GT(depth, camera.nearPlane);
        EXPECT_LT(depth, camera.farPlane);
    }

    Model second = model;
    second.setPosition(secondModelOffset(model, extent), 0, 0);
    Collision collision;
    EXPECT_FALSE(collision.test(model, second));
    EXPECT_GT(second.posX + extent.minimum.x, extent.maximum.x);  // the drawn figures apart too
}

TEST(ViewerView, AModelOfOnePointOrOfNothingStillGetsAUsableCamera) {
    Model empty;
    const Extent extent = sweptExtent(empty);
    EXPECT_GT(extent.radius(), 0.0f);
    const ViewerCamera camera = frameExtent(extent);
    EXPECT_GT(Length(camera.eye - camera.target), 0.0f);
    EXPECT_GT(camera.nearPlane, 0.0);
    EXPECT_GT(camera.farPlane, camera.nearPlane);
    EXPECT_GT(secondModelOffset(empty, extent), 0.0f);

    // Values a file may hold but no camera can use are left out of the extent.
    const float nan = std::nanf("");
    const float inf = INFINITY;
    Model odd = model_testing::makeModel(
        {model_testing::makeJoint({{nan, 1, 0}, {0, 2, 0}}, {}, {{0, inf, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}})}, 2);
    const Extent oddExtent = sweptExtent(odd);
    EXPECT_TRUE(std::isfinite(oddExtent.radius()));
    EXPECT_FLOAT_EQ(oddExtent.maximum.y, 2.0f);  // the finite frame's point
}

}  // namespace
