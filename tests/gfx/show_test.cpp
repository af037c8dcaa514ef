// The whole show on the gles3 renderer: it makes no GL 1.1 call (no error and no debug
// message on an ES context, frame after frame, while a planted glBegin is caught), and a
// frame is the same bytes every time it is drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "tests/gfx/es_checks.h"
#include "tests/gfx/show_frames.h"

using namespace gfx_test;

namespace {

// Two frames a second over the whole show, and the golden moments.
std::vector<std::uint32_t> showTicks() {
    std::vector<std::uint32_t> ticks;
    for (std::uint32_t t = 0; t <= 129000; t += 500) ticks.push_back(t);
    return ticks;
}

}  // namespace

TEST(Gles3Show, CallsNothingButOpenGlEs) {
    std::vector<std::uint32_t> ticks = showTicks();
    bool watching = false, first = true;
    int frames = 0;
    std::vector<std::string> problems;
    std::string error;
    const bool rendered = renderShowFrames(
        gfx::RendererKind::kGles3, ticks, [](std::size_t, const std::vector<std::uint8_t>&) {}, error,
        [&] {
            if (first) {
                // The context exists from the first frame on; watch it from then.
                watching = watchDebugMessages();
                first = false;
            }
            ++frames;
            for (const std::string& p : takeEsProblems()) problems.push_back(p);
            const gfx::Enum own = gfx::getError();
            if (own != gfx::kNoError) problems.push_back("renderer error " + std::to_string(own));
        });
    ASSERT_TRUE(rendered) << error;
    EXPECT_EQ(frames, static_cast<int>(ticks.size()));
    EXPECT_TRUE(watching) << "the ES context offers no KHR_debug here";
    EXPECT_TRUE(problems.empty()) << problems.size() << " problems, the first: " << problems.front();
}

TEST(Gles3Show, TheCheckCatchesAPlantedFixedFunctionCall) {
    const std::vector<std::uint32_t> ticks = {0, 20, 40, 60, 80};
    std::vector<std::size_t> caught;
    std::vector<std::string> messages;
    std::size_t frame = 0;
    std::string error;
    const bool rendered = renderShowFrames(
        gfx::RendererKind::kGles3, ticks, [](std::size_t, const std::vector<std::uint8_t>&) {}, error,
        [&] {
            if (frame == 0) watchDebugMessages();
            if (frame == 3) plantFixedFunctionCall();
            const std::vector<std::string> problems = takeEsProblems();
            if (!problems.empty()) caught.push_back(frame);
            messages.insert(messages.end(), problems.begin(), problems.end());
            ++frame;
        });
    ASSERT_TRUE(rendered) << error;
    EXPECT_EQ(caught, std::vector<std::size_t>{3});
    // Both ways see it: the error code and the debug message.
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages.front(), "glGetError 1282");
}

TEST(Gles3Show, AFrameIsTheSameBytesEveryTime) {
    const std::vector<std::uint32_t> ticks = {10000, 28000, 70000, 100000};
    std::vector<std::vector<std::uint8_t>> first, second;
    for (auto* frames : {&first, &second}) {
        std::string error;
        ASSERT_TRUE(renderShowFrames(
            gfx::RendererKind::kGles3, ticks,
            [frames](std::size_t, const std::vector<std::uint8_t>& rgb) { frames->push_back(rgb); }, error))
            << error;
    }
    ASSERT_EQ(first.size(), ticks.size());
    for (std::size_t i = 0; i < ticks.size(); ++i) EXPECT_TRUE(first[i] == second[i]) << ticks[i] << " ms";
}
