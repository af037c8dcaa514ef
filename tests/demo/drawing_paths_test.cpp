// The compiled spheres and tower against the immediate-mode reference: runs of consecutive
// frames inside every scene and overlay and across every change between them, drawn once each
// way in a show of its own, must have the same bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "demo/offscreen_show.h"
#include "demo/scene_draw.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kFps = 50;
constexpr int kRunFrames = 3;

// First ticks of the runs, in show order: inside each scene and overlay, and from two frames
// before each change (so the first frame after it is drawn with the state the last one left).
constexpr std::uint32_t kRunStarts[] = {
    5000,    // 1: the circling tower
    18980,   // the ball chain comes in after 19000
    37960,   // 2: the tower from its axis at 38000
    59960,   // 3: the ball rings at 60000
    79980,   // 4: the rising balls after 80000, over the tower again
    85960,   // 6: the giant ball and glow at 86000
    89960,   // the credits at 90000
    105960,  // the second credits at 106000
    110000,  // inside the second credits
};

struct DrawnFrame {
    std::uint32_t tick;
    std::vector<std::uint8_t> rgb;
};

// A show of its own from tick 0, drawing the runs with `path` and replaying the rest.
std::vector<DrawnFrame> drawRuns(DrawingPath path) {
    useDrawingPath(path);
    std::string error;
    const auto show = OffscreenShow::open({kWidth, kHeight, OYUN_DATA_DIR}, error);
    EXPECT_NE(show, nullptr) << error;
    std::vector<DrawnFrame> frames;
    if (!show) return frames;
    std::int64_t frame = 0;
    for (const std::uint32_t start : kRunStarts) {
        const std::int64_t first = firstFrameAtOrAfter(start, kFps);
        for (; frame < first + kRunFrames; ++frame) {
            const std::uint32_t tick = tickOfFrame(frame, kFps);
            if (!show->update(tick)) {
                ADD_FAILURE() << "the show ended at " << tick << " ms";
                return frames;
            }
            if (frame < first) {
                show->skip();
                continue;
            }
            frames.push_back({tick, {}});
            show->draw();
            show->readPixels(frames.back().rgb);
            show->present();
        }
    }
    return frames;
}

class DrawingPaths : public ::testing::Test {
protected:
    void TearDown() override { useDrawingPath(DrawingPath::kCompiled); }
};

TEST_F(DrawingPaths, TheShowUsesTheCompiledPath) { EXPECT_EQ(drawingPath(), DrawingPath::kCompiled); }

TEST_F(DrawingPaths, EveryRunOfFramesHasTheSameBytesBothWays) {
    const std::vector<DrawnFrame> reference = drawRuns(DrawingPath::kImmediate);
    const std::vector<DrawnFrame> compiled = drawRuns(DrawingPath::kCompiled);
    // A second show in the same process makes its list and buffer anew in its own context.
    const std::vector<DrawnFrame> compiledAgain = drawRuns(DrawingPath::kCompiled);
    ASSERT_EQ(reference.size(), std::size(kRunStarts) * kRunFrames);
    ASSERT_EQ(compiled.size(), reference.size());
    ASSERT_EQ(compiledAgain.size(), reference.size());

    for (std::size_t i = 0; i < reference.size(); ++i) {
        const DrawnFrame& r = reference[i];
        ASSERT_EQ(compiled[i].tick, r.tick);
        ASSERT_EQ(r.rgb.size(), std::size_t{kWidth} * kHeight * 3);
        // Equal frames prove something only if the frames move: each differs from the last.
        if (i % kRunFrames != 0) {
            EXPECT_NE(r.rgb, reference[i - 1].rgb) << "nothing moved at " << r.tick << " ms";
        }
        for (const std::vector<DrawnFrame>* other : {&compiled, &compiledAgain}) {
            const std::vector<std::uint8_t>& rgb = (*other)[i].rgb;
            ASSERT_EQ(rgb.size(), r.rgb.size());
            std::size_t differing = 0;
            for (std::size_t b = 0; b < rgb.size(); ++b) differing += rgb[b] != r.rgb[b] ? 1 : 0;
            EXPECT_EQ(differing, 0u) << "the compiled frame at " << r.tick << " ms ("
                                     << (other == &compiled ? "first" : "second") << " show) differs in " << differing
                                     << " bytes";
        }
    }
}

}  // namespace
