// The model viewer's logic without a window: its command line, texture route and companion
// texture, model loading, key presses and moves, overlay texts and camera framing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "examples/viewer/viewer_hud.h"
#include "examples/viewer/viewer_input.h"
#include "examples/viewer/viewer_setup.h"
#include "examples/viewer/viewer_view.h"
#include "model/collision.h"
#include "platform/input.h"
#include "tests/model/model_test_support.h"
#include "tests/support/command_line_run.h"
#include "tests/support/output_capture.h"
#include "tests/support/report_capture.h"
#include "tests/support/temp_dir.h"

using testing_support::TempWorkingDir;
using testing_support::writeFileBytes;

namespace {

const std::string kSampleModel = std::string(OYUN_SAMPLE_MODELS) + "/walker.txt";

using Parsed = testing_support::ParsedCommandLine<ViewerOptions>;

Parsed parse(const std::vector<std::string>& arguments) {
    return testing_support::parseCommandLineOf<ViewerOptions>(
        "oyun-viewer", arguments,
        [](int argc, char** argv, ViewerOptions& options) { return parseViewerArguments(argc, argv, options); });
}

TEST(ViewerArguments, TakeAModelAndAnOptionalTexture) {
    TempWorkingDir dir;
    Parsed p = parse({"walker.txt", "skin.BMP"});
    ASSERT_EQ(p.status, std::nullopt) << p.error;
    EXPECT_EQ(p.options.modelPath, "walker.txt");
    EXPECT_EQ(p.options.texturePath, "skin.BMP");
    EXPECT_TRUE(p.options.textureGiven);

    p = parse({"walker.txt"});
    ASSERT_EQ(p.status, std::nullopt) << p.error;
    EXPECT_EQ(p.options.texturePath, "");  // no walker.tga here
    EXPECT_FALSE(p.options.textureGiven);

    // A file name that begins with a dash is given as a path.
    p = parse({"./-odd.txt"});
    ASSERT_EQ(p.status, std::nullopt) << p.error;
    EXPECT_EQ(p.options.modelPath, "./-odd.txt");
    p = parse({"--", "walker.txt", "skin.tga"});
    ASSERT_EQ(p.status, std::nullopt) << p.error;
    EXPECT_EQ(p.options.texturePath, "skin.tga");
    EXPECT_EQ(p.out + p.err, "");
}

TEST(ViewerArguments, HelpAndVersionAnswerOnStdout) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"-h"}, {"walker.txt", "--help"}, {"--help", "--bogus"}}) {
        const Parsed help = parse(arguments);
        EXPECT_EQ(help.status, 0) << arguments[0];
        EXPECT_NE(help.out.find("Usage: oyun-viewer [OPTIONS] MODEL [TEXTURE]"), std::string::npos) << help.out;
        EXPECT_NE(help.out.find("Keys:"), std::string::npos) << help.out;
        EXPECT_NE(help.out.find("Exit status:"), std::string::npos) << help.out;
        EXPECT_EQ(help.err, "");
    }
    const Parsed version = parse({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, base::versionLine() + "\n");
}

TEST(ViewerArguments, RefuseWhatCannotBeMeant) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{}, "MODEL is required"},
        {{"a.txt", "b.tga", "c.tga"}, "unexpected argument c.tga"},
        {{"-x", "a.txt"}, "unknown option -x"},
        {{"--wireframe"}, "unknown option --wireframe"},
        {{""}, "MODEL: is empty"},
        {{"a.txt", ""}, "TEXTURE: is empty"},
        {{"--"}, "MODEL is required"},
        // Never an option taken for a file, not even after "--".
        {{"--", "-odd.txt"}, "MODEL: needs a value, not the option -odd.txt"},
        {{"a.txt", "--", "--help"}, "TEXTURE: needs a value, not the option --help"},
    };
    for (const auto& [arguments, reason] : cases) {
        const Parsed p = parse(arguments);
        EXPECT_EQ(p.status, 2) << reason;
        EXPECT_EQ(p.error, reason);
        EXPECT_EQ(p.err.rfind("Usage: oyun-viewer [OPTIONS] MODEL [TEXTURE]\n", 0), 0u) << p.err;
        EXPECT_EQ(p.out, "") << reason;
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

    EXPECT_EQ(parse({"models.d/walker.txt"}).options.texturePath, "models.d/walker.tga");
    EXPECT_EQ(parse({"models.d/walker.txt", "given.tga"}).options.texturePath, "given.tga");
}

TEST(ViewerTextureRoute, OnlyABmpEndingInAnyCaseTakesTheBitmapRoute) {
    for (const char* path : {"skin.bmp", "SKIN.BMP", "dir/a.Bmp", ".bmp"})
        EXPECT_EQ(textureRouteFor(path), TextureRoute::kBmp) << path;
    for (const char* path : {"skin.tga", "skin.bmp.tga", "skinbmp", "bmp", "skin.bm", "", "dir.bmp/skin"})
        EXPECT_EQ(textureRouteFor(path), TextureRoute::kTga) << path;
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
    keys[kKeyWireframe] = 1;
    toggles[kKeyWireframe] = true;
    frame();
    EXPECT_TRUE(presses.pressed(kKeyWireframe));
    for (int i = 0; i < 3; ++i) {
        frame();
        EXPECT_FALSE(presses.pressed(kKeyWireframe)) << "held frame " << i;
    }
    keys[kKeyWireframe] = 0;
    frame();
    EXPECT_FALSE(presses.pressed(kKeyWireframe));
    keys[kKeyWireframe] = 1;
    toggles[kKeyWireframe] = false;
    frame();
    EXPECT_TRUE(presses.pressed(kKeyWireframe));
    EXPECT_FALSE(presses.pressed(kKeyNormals));
}

TEST_F(ViewerKeys, ATapBetweenTwoFramesIsSeenByItsToggle) {
    frame();
    toggles[kKeyPause] = true;  // pressed and released before the frame: the level stays 0
    frame();
    EXPECT_TRUE(presses.pressed(kKeyPause));
    frame();
    EXPECT_FALSE(presses.pressed(kKeyPause));
    // Released and pressed again between frames while the level reads held throughout.
    keys[kKeyPause] = 1;
    toggles[kKeyPause] = false;
    frame();
    EXPECT_TRUE(presses.pressed(kKeyPause));
    toggles[kKeyPause] = true;
    frame();
    EXPECT_TRUE(presses.pressed(kKeyPause));
}

TEST_F(ViewerKeys, AfterAResetOldTogglesAreNoPressAndKeysOutOfRangeNone) {
    toggles[kKeyWireframe] = true;  // a press from before the window opened
    presses.reset();
    frame();
    EXPECT_FALSE(presses.pressed(kKeyWireframe));
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
    keys[platform::VK_PRIOR] = 1;
    move = movementFromKeys(keys, 50, 2.0f);
    EXPECT_EQ(move.x, 0.0f);
    EXPECT_FLOAT_EQ(move.y, 0.1f);
    EXPECT_FLOAT_EQ(move.z, -0.1f);
    keys = KeyState{};
    keys[platform::VK_DOWN] = 1;
    keys[platform::VK_NEXT] = 1;
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
