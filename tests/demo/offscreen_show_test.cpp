// The offscreen show's choice of renderer: one that cannot start is named in the error of the
// opening, which leaves nothing behind for the next show.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo/offscreen_show.h"
#include "gfx/renderer.h"
#include "tests/support/report_capture.h"

namespace {

// gles3 on a Mesa made to offer OpenGL ES 2.0 at most.
TEST(OffscreenShowRenderer, ARendererWithoutItsContextFailsTheOpeningWithItsReason) {
    ASSERT_EQ(setenv("MESA_GLES_VERSION_OVERRIDE", "2.0", 1), 0);
    testing_support::ReportCapture reports;
    OffscreenShowOptions options;
    options.dataDir = OYUN_DATA_DIR;
    options.renderer = gfx::RendererKind::kGles3;
    std::string error;
    EXPECT_EQ(OffscreenShow::open(options, error), nullptr);
    EXPECT_EQ(error.rfind("no OpenGL ES 3.0 context: ", 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_TRUE(reports.reports.empty()) << reports.written();
    EXPECT_EQ(gfx::activeRenderer(), gfx::RendererKind::kGl11);

    // The default renderer opens and draws a show in the same process afterwards.
    options.renderer = gfx::RendererKind::kGl11;
    const auto show = OffscreenShow::open(options, error);
    ASSERT_NE(show, nullptr) << error;
    ASSERT_TRUE(show->update(10000));
    show->draw();
    std::vector<std::uint8_t> rgb;
    show->readPixels(rgb);
    ASSERT_EQ(rgb.size(), std::size_t{1024} * 768 * 3);
    // The band's middle row holds more than the clear colour: the tower is drawn.
    const std::size_t row = std::size_t{384} * 1024 * 3;
    bool drawn = false;
    for (std::size_t i = row; i < row + std::size_t{1024} * 3 && !drawn; i += 3)
        drawn = rgb[i] > 100;  // the clear colour has no red
    EXPECT_TRUE(drawn);
}

}  // namespace
