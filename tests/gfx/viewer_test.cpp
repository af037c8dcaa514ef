// The model viewer on both renderers: its lit, textured models with their box outlines and
// its text, then the wireframe with normals, look as the driver draws them.
#include <gtest/gtest.h>

#include <string>

#include "examples/viewer/viewer_scene.h"
#include "examples/viewer/viewer_setup.h"
#include "gfx/gfx.h"
#include "platform/clock.h"
#include "tests/gfx/renderer_context.h"
#include "tests/support/temp_dir.h"

using namespace gfx_test;

namespace {

constexpr int kWidth = 320, kHeight = 240;

// The viewer's frame at a fixed moment; `wire` toggles the wireframe and the normals.
Pictures viewerFrames(bool wire) {
    testing_support::TempWorkingDir dir;
    return drawBoth(kWidth, kHeight, [wire](RendererContext& context) {
        platform::useVirtualClock(12345);
        Model model;
        std::string error;
        ASSERT_TRUE(loadViewerModel(std::string(OYUN_SAMPLE_MODELS) + "/walker.txt", model, error)) << error;
        AppWindow window{};
        KeyState keys{};
        window.windowHandle = context.window();
        window.deviceContext = context.deviceContext();
        window.keyState = &keys;
        ViewerScene scene;
        scene.prepare(model, std::string(OYUN_SAMPLE_MODELS) + "/walker.tga");
        ASSERT_TRUE(scene.initialise(&window, &keys));
        // The second model overlaps the first, so the boxes and their text show.
        scene.second.setPosition(scene.first.getPosX() + 0.3f, scene.first.getPosY(), scene.first.getPosZ());
        if (wire) {
            scene.first.toggleWireframe();
            scene.second.toggleWireframe();
            scene.showNormals = true;
        }
        scene.update(16);
        scene.draw();
        gfx::finish();
        scene.deinitialise();
        platform::useRealClock();
    });
}

void expectAlike(const Pictures& p, const char* what) {
    ASSERT_FALSE(p.gl11.empty());
    ASSERT_EQ(p.gl11.size(), p.gles3.size());
    const Difference d = compare(p.gl11, p.gles3);
    // A vertex a float step from the driver's moves a depth comparison at a few pixels.
    EXPECT_LE(d.pixels, 24) << what << " (largest difference " << d.largest << ")";
}

}  // namespace

TEST(Viewer, LitTexturedModelsBoxesAndTextLookAsTheDriverDrawsThem) { expectAlike(viewerFrames(false), "lit"); }

TEST(Viewer, WireframeAndNormalsLookAsTheDriverDrawsThem) { expectAlike(viewerFrames(true), "wireframe"); }
