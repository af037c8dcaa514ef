// Sprite drawing: the frame's texture coordinates, the mask and picture passes, the stepping.
#include "engine/masked_sprite.h"

#include "gfx/gfx.h"

void MaskedSprite::start(bool maskedMode) {
    masked = maskedMode;
    delayCounter = 0;
    animating = true;
    if (frameDelay == 0) frameDelay = 3;
    currentFrame = 1;
    if (width == 0.0f) width = 5.0f;
    if (height == 0.0f) height = 5.0f;
}

void MaskedSprite::draw(float alpha) {
    // 1 / frameCount would not be finite.
    if (frameCount < 1) return;
    const float f = 1.0f / static_cast<float>(frameCount);
    const float left = static_cast<float>(currentFrame - 1) * f;
    const float right = static_cast<float>(currentFrame) * f;
    texU[0] = left;
    texV[0] = 1.0f;
    texU[1] = right;
    texV[1] = 1.0f;
    texU[2] = right;
    texV[2] = 0.0f;
    texU[3] = left;
    texV[3] = 0.0f;

    const float halfWidth = width / 2.0f;
    const float halfHeight = height / 2.0f;
    const float cornerX[4] = {-halfWidth, halfWidth, halfWidth, -halfWidth};
    const float cornerY[4] = {halfHeight, halfHeight, -halfHeight, -halfHeight};
    const auto rectangle = [&]() {
        gfx::begin(gfx::kQuads);
        gfx::normal3f(0.0f, 0.0f, 1.0f);
        for (int corner = 0; corner < 4; ++corner) {
            gfx::texCoord2f(texU[corner], texV[corner]);
            gfx::vertex3f(cornerX[corner], cornerY[corner], 0.0f);
        }
        gfx::end();
    };

    if (masked) {
        gfx::enable(gfx::kBlend);
        gfx::blendFunc(gfx::kDstColor, gfx::kZero);
        gfx::bindTexture(gfx::kTexture2D, maskTexture);
        rectangle();
        gfx::blendFunc(gfx::kOne, gfx::kOne);
    } else {
        gfx::enable(gfx::kBlend);
        gfx::blendFunc(gfx::kSrcAlpha, gfx::kOne);
        gfx::color4f(1.0f, 1.0f, 1.0f, alpha);
    }
    gfx::bindTexture(gfx::kTexture2D, imageTexture);
    rectangle();
    gfx::disable(gfx::kBlend);
    gfx::color4f(1.0f, 1.0f, 1.0f, 1.0f);

    step();
}

void MaskedSprite::step() {
    if (!animating || frameCount < 1) return;
    // The wrap test comes before the counting, so the last frame shows for one draw.
    if (currentFrame == frameCount) currentFrame = 1;
    if (delayCounter == frameDelay) {
        ++currentFrame;
        delayCounter = 0;
    } else {
        ++delayCounter;
    }
}
