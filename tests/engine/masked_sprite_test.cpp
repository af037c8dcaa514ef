// MaskedSprite: defaults, frame coordinates and stepping, the state each draw leaves, and the
// picture it puts on screen in both modes.
#include "engine/masked_sprite.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/gl_test_context.h"

using testing_support::GlTestContext;

namespace {

// A 2 x 2 nearest-filtered texture; texels bottom row first, RGB.
GLuint makeTexture(int width, int height, const std::vector<std::uint8_t>& rgb) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

// The 256 x 256 view shows x and y from -1 to 1; a 2 x 2 sprite fills it.
class SpriteScreen : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_TEXTURE_2D);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        sprite.setSize(2.0f, 2.0f);
        sprite.setFrameCount(1);
        sprite.start(false);
    }

    // RGB of the pixel at (x, y), counted from the bottom left.
    std::vector<int> pixel(int x, int y) const {
        const std::vector<std::uint8_t> rgba = gl.readPixels(x, y, 1, 1);
        return {rgba[0], rgba[1], rgba[2]};
    }

    GlTestContext gl;
    MaskedSprite sprite{};
};

TEST(MaskedSpriteStart, FillsZeroFieldsAndKeepsSetOnes) {
    MaskedSprite zero{};
    zero.start(false);
    EXPECT_EQ(zero.frameDelay, 3);
    EXPECT_EQ(zero.width, 5.0f);
    EXPECT_EQ(zero.height, 5.0f);
    EXPECT_EQ(zero.currentFrame, 1);
    EXPECT_EQ(zero.delayCounter, 0);
    EXPECT_TRUE(zero.animating);
    EXPECT_FALSE(zero.masked);
    EXPECT_EQ(zero.frameCount, 0);

    MaskedSprite set{};
    set.setFrameDelay(20);
    set.setSize(2.0f, 1.5f);
    set.setFrameCount(4);
    set.currentFrame = 3;
    set.delayCounter = 7;
    set.start(true);
    EXPECT_EQ(set.getFrameDelay(), 20);
    EXPECT_EQ(set.getFrameCount(), 4);
    EXPECT_EQ(set.width, 2.0f);
    EXPECT_EQ(set.height, 1.5f);
    EXPECT_EQ(set.currentFrame, 1);
    EXPECT_EQ(set.delayCounter, 0);
    EXPECT_TRUE(set.masked);
}

TEST_F(SpriteScreen, TextureCoordinatesSpanTheCurrentFrameOfTheSheet) {
    sprite.setFrameCount(4);
    sprite.setCurrentFrame(2);
    sprite.draw(1.0f);
    EXPECT_FLOAT_EQ(sprite.texU[0], 0.25f);
    EXPECT_FLOAT_EQ(sprite.texU[1], 0.5f);
    EXPECT_FLOAT_EQ(sprite.texU[2], 0.5f);
    EXPECT_FLOAT_EQ(sprite.texU[3], 0.25f);
    EXPECT_EQ(sprite.texV[0], 1.0f);
    EXPECT_EQ(sprite.texV[1], 1.0f);
    EXPECT_EQ(sprite.texV[2], 0.0f);
    EXPECT_EQ(sprite.texV[3], 0.0f);
}

// Frame shown by each of `draws` successive draws.
std::vector<int> framesShown(MaskedSprite& sprite, int draws) {
    std::vector<int> frames;
    for (int i = 0; i < draws; ++i) {
        frames.push_back(sprite.currentFrame);
        sprite.draw(1.0f);
    }
    return frames;
}

TEST_F(SpriteScreen, FramesStepInTheirOrderAndTheLastShowsOnce) {
    sprite.setFrameCount(3);
    sprite.setFrameDelay(2);
    sprite.start(false);
    EXPECT_EQ(framesShown(sprite, 15), (std::vector<int>{1, 1, 1, 2, 2, 2, 3, 1, 1, 2, 2, 2, 3, 1, 1}));

    // A single frame never wraps: the count runs on.
    sprite.setFrameCount(1);
    sprite.start(false);
    EXPECT_EQ(framesShown(sprite, 10), (std::vector<int>{1, 1, 1, 2, 2, 2, 3, 3, 3, 4}));
    EXPECT_FLOAT_EQ(sprite.texU[0], 3.0f);
    EXPECT_FLOAT_EQ(sprite.texU[1], 4.0f);

    sprite.setFrameCount(3);
    sprite.setCurrentFrame(5);
    sprite.delayCounter = 0;
    EXPECT_EQ(framesShown(sprite, 4), (std::vector<int>{5, 5, 5, 6}));
}

// A replayed frame steps the sprite without drawing it; it must land where a draw would.
TEST_F(SpriteScreen, SteppingWithoutDrawingFollowsTheDraws) {
    for (const int count : {0, 1, 3}) {
        MaskedSprite drawn;
        drawn.setFrameCount(count);
        drawn.setFrameDelay(2);
        drawn.start(false);
        MaskedSprite stepped = drawn;
        for (int i = 0; i < 17; ++i) {
            drawn.draw(1.0f);
            stepped.step();
            ASSERT_EQ(stepped.currentFrame, drawn.currentFrame) << count << " frames, step " << i;
            ASSERT_EQ(stepped.delayCounter, drawn.delayCounter) << count << " frames, step " << i;
        }
    }
    sprite.setFrameCount(3);
    sprite.start(false);
    sprite.setAnimating(false);
    sprite.step();
    EXPECT_EQ(sprite.currentFrame, 1);
    EXPECT_EQ(sprite.delayCounter, 0);
}

TEST_F(SpriteScreen, AFrozenSpriteKeepsItsFrameAndCounter) {
    sprite.setFrameCount(3);
    sprite.setFrameDelay(1);
    sprite.start(false);
    sprite.draw(1.0f);
    sprite.setAnimating(false);
    EXPECT_EQ(framesShown(sprite, 5), (std::vector<int>{1, 1, 1, 1, 1}));
    EXPECT_EQ(sprite.delayCounter, 1);
}

TEST_F(SpriteScreen, UnmaskedDrawAddsThePictureUprightWeightedByAlpha) {
    // Bottom row: blue, white; top row: red, green.
    sprite.imageTexture = makeTexture(2, 2, {0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 0});
    glColor4f(0.3f, 0.3f, 0.3f, 0.3f);
    sprite.draw(1.0f);
    EXPECT_EQ(pixel(64, 192), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(pixel(192, 192), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(pixel(64, 64), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(pixel(192, 64), (std::vector<int>{255, 255, 255}));

    GLint value = 0;
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE);
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::vector<float>(colour, colour + 4), (std::vector<float>{1, 1, 1, 1}));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(static_cast<GLuint>(value), sprite.imageTexture);

    // Half alpha adds half the picture to what is there.
    glClear(GL_COLOR_BUFFER_BIT);
    sprite.draw(0.5f);
    sprite.draw(0.5f);
    const std::vector<int> twoHalves = pixel(192, 64);
    for (const int channel : twoHalves) EXPECT_NEAR(channel, 255, 2);
    glClear(GL_COLOR_BUFFER_BIT);
    sprite.draw(0.5f);
    for (const int channel : pixel(192, 64)) EXPECT_NEAR(channel, 128, 2);
}

TEST_F(SpriteScreen, MaskedDrawCutsWithTheMaskThenAddsThePicture) {
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    sprite.maskTexture = makeTexture(2, 1, {0, 0, 0, 255, 255, 255});
    sprite.imageTexture = makeTexture(2, 1, {0, 0, 200, 0, 0, 200});
    sprite.start(true);
    sprite.draw(0.0f);  // alpha plays no part in masked mode
    EXPECT_EQ(pixel(64, 128), (std::vector<int>{0, 0, 200}));
    const std::vector<int> right = pixel(192, 128);
    EXPECT_NEAR(right[0], 128, 1);
    EXPECT_NEAR(right[1], 128, 1);
    EXPECT_EQ(right[2], 255);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint value = 0;
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_ONE);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE);
}

TEST_F(SpriteScreen, EachFrameShowsItsSliceOfTheSheet) {
    sprite.imageTexture = makeTexture(2, 1, {255, 0, 0, 0, 255, 0});
    sprite.setFrameCount(2);
    sprite.setCurrentFrame(2);
    sprite.draw(1.0f);
    EXPECT_EQ(pixel(20, 128), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(pixel(236, 128), (std::vector<int>{0, 255, 0}));
    glClear(GL_COLOR_BUFFER_BIT);
    sprite.setCurrentFrame(1);
    sprite.draw(1.0f);
    EXPECT_EQ(pixel(236, 128), (std::vector<int>{255, 0, 0}));
}

TEST_F(SpriteScreen, WithNoFramesNothingIsDrawnAndNothingChanges) {
    sprite.imageTexture = makeTexture(1, 1, {255, 255, 255});
    sprite.setFrameCount(0);
    glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
    glEnable(GL_BLEND);
    sprite.draw(1.0f);
    EXPECT_EQ(pixel(128, 128), (std::vector<int>{0, 0, 0}));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 0.5f);
    EXPECT_EQ(sprite.currentFrame, 1);
    EXPECT_EQ(sprite.delayCounter, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
