// text.tga, t1.tga and t2.tga: the show's name over the first scene and the captions of the
// second and third. Drawn white with coloured halos in heavy letters, bright enough for the
// half strength and the pulse the show gives them over busy scenes.
#include <algorithm>
#include <cmath>
#include <utility>

#include "tools/assets/canvas_draw.h"
#include "tools/assets/pictures.h"

namespace assets {

namespace {

const Rgb kWhite = {1.0f, 1.0f, 1.0f};

// A hairline that fades out towards both ends.
void addHairline(Canvas& c, float x0, float x1, float y, Rgb colour) {
    const float mid = (x0 + x1) * 0.5f;
    addLine(c, x0, y, mid, y, 1.3f, colour * 0.0f, colour);
    addLine(c, mid, y, x1, y, 1.3f, colour, colour * 0.0f);
}

// A caption: a roman numeral in italics, a large heavy line and a plain subtitle,
// aligned left at x (or right when alignRight), with its first baseline at y.
void addCaption(Canvas& c, const Fonts& fonts, float x, float y, bool alignRight, const char* numeral,
                const char* heading, const char* subtitle, Rgb halo) {
    const TextMask number = renderText(fonts.italic, numeral, 36.0f, 2.0f);
    const TextMask head = renderText(fonts.title, heading, 56.0f, 1.0f);
    const TextMask sub = renderText(fonts.body, subtitle, 24.0f, 2.0f);
    auto left = [&](const TextMask& m) {
        return alignRight ? x - static_cast<float>(m.width) + static_cast<float>(m.originX) : x;
    };
    const float numberY = y;
    const float headY = y + 68.0f;
    const float subY = headY + 44.0f;

    drawTextGlow(c, head, left(head), headY, 14.0f, halo * 1.6f);
    drawTextGlow(c, head, left(head), headY, 3.0f, halo * 0.9f);
    drawText(c, head, left(head), headY, kWhite);

    drawTextGlow(c, number, left(number), numberY, 6.0f, halo * 1.2f);
    drawText(c, number, left(number), numberY, mixRgb(kWhite, halo, 0.35f));

    drawTextGlow(c, sub, left(sub), subY, 4.0f, halo * 0.8f);
    drawText(c, sub, left(sub), subY, hexRgb(0xDDE8FF));

    const float ruleY = headY + 16.0f;
    const float ruleLength = static_cast<float>(std::max(head.width, sub.width)) + 60.0f;
    if (alignRight) {
        addHairline(c, x - ruleLength, x + 20.0f, ruleY, halo + kWhite * 0.3f);
    } else {
        addHairline(c, x - 20.0f, x + ruleLength, ruleY, halo + kWhite * 0.3f);
    }
}

}  // namespace

Canvas drawTitlePicture(const Fonts& fonts) {
    // The tower of the first scene fills the columns from about 500 to 780 whichever way it
    // turns, so the name stands on two lines in the free space to its left.
    Canvas c(kSpriteWidth, kSpriteHeight);
    const float x = 84.0f;
    const float firstBaseline = 200.0f;
    const float secondBaseline = 278.0f;
    const TextMask first = renderText(fonts.title, "Oyun", 76.0f, 3.0f);
    const TextMask second = renderText(fonts.title, "motorum", 76.0f, 3.0f);
    for (const auto& [mask, baseline] : {std::pair{&first, firstBaseline}, std::pair{&second, secondBaseline}}) {
        // A wide violet halo, a tighter pink one, then the crisp white letters.
        drawTextGlow(c, *mask, x, baseline, 30.0f, hexRgb(0x4A2CC0) * 1.3f);
        drawTextGlow(c, *mask, x, baseline, 8.0f, hexRgb(0xFF4FA8) * 1.1f);
        drawText(c, *mask, x, baseline, kWhite);
    }

    const float ruleY = secondBaseline + 26.0f;
    addHairline(c, x - 30.0f, x + static_cast<float>(second.width) + 30.0f, ruleY, hexRgb(0xFF8FD0));
    addGlow(c, x + static_cast<float>(second.width) * 0.5f, ruleY, 3.0f, 1.2f, kWhite * 0.8f);
    const char* subtitles[] = {"bir OpenGL g\xC3\xB6sterisi", "an OpenGL show"};
    for (int i = 0; i < 2; ++i) {
        const TextMask sub = renderText(fonts.body, subtitles[i], 25.0f, 3.0f);
        const float baseline = ruleY + 38.0f + 32.0f * static_cast<float>(i);
        drawTextGlow(c, sub, x + 2.0f, baseline, 5.0f, hexRgb(0x4FA8FF) * 0.9f);
        drawText(c, sub, x + 2.0f, baseline, hexRgb(0xE0ECFF));
    }
    // An upright rule along the block's left edge.
    const float top = firstBaseline - 90.0f;
    const float bottom = ruleY + 80.0f;
    const float mid = (top + bottom) * 0.5f;
    addLine(c, x - 22.0f, top, x - 22.0f, mid, 1.3f, kWhite * 0.0f, hexRgb(0xFF8FD0));
    addLine(c, x - 22.0f, mid, x - 22.0f, bottom, 1.3f, hexRgb(0xFF8FD0), kWhite * 0.0f);

    markCornerTexels(c);
    return c;
}

Canvas drawTowerCaption(const Fonts& fonts) {
    Canvas c(kSpriteWidth, kSpriteHeight);
    addCaption(c, fonts, 96.0f, 330.0f, false, "II", "Kulenin ekseninde", "the tower, seen from its axis",
               hexRgb(0xFF4FA8));
    markCornerTexels(c);
    return c;
}

Canvas drawRingsCaption(const Fonts& fonts) {
    Canvas c(kSpriteWidth, kSpriteHeight);
    addCaption(c, fonts, 928.0f, 88.0f, true, "III", "Doksan k\xC3\xBCre, \xC3\xBC\xC3\xA7 halka",
               "ninety spheres on turning rings", hexRgb(0x3FC8FF));
    markCornerTexels(c);
    return c;
}

}  // namespace assets
