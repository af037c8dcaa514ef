// text.tga, t1.tga and t2.tga: the show's name over the first scene and the captions of the
// second and third. Drawn white with coloured halos, bright enough for the half strength and
// the pulse the show gives them.
#include <algorithm>
#include <cmath>

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

// A caption: a roman numeral in thin lettering, a large italic line and a quiet subtitle,
// aligned left at x (or right when alignRight), with its first baseline at y.
void addCaption(Canvas& c, const Fonts& fonts, float x, float y, bool alignRight, const char* numeral,
                const char* heading, const char* subtitle, Rgb halo) {
    const TextMask number = renderText(fonts.italic, numeral, 36.0f, 2.0f);
    const TextMask head = renderText(fonts.italic, heading, 64.0f, 1.0f);
    const TextMask sub = renderText(fonts.light, subtitle, 25.0f, 3.0f);
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
    Canvas c(kSpriteWidth, kSpriteHeight);
    const float centre = kSpriteWidth * 0.5f;
    const float baseline = 258.0f;

    const TextMask name = renderText(fonts.title, "Oyun motorum", 94.0f, 3.0f);
    const float x = centredX(name, centre);
    // A wide violet halo, a tighter pink one, then the crisp white letters.
    drawTextGlow(c, name, x, baseline, 34.0f, hexRgb(0x4A2CC0) * 1.3f);
    drawTextGlow(c, name, x, baseline, 9.0f, hexRgb(0xFF4FA8) * 1.1f);
    drawText(c, name, x, baseline, kWhite);

    const TextMask subtitle =
        renderText(fonts.light, "bir OpenGL g\xC3\xB6sterisi  \xC2\xB7  an OpenGL show", 28.0f, 5.0f);
    const float subBaseline = baseline + 58.0f;
    drawTextGlow(c, subtitle, centredX(subtitle, centre), subBaseline, 5.0f, hexRgb(0x4FA8FF) * 0.9f);
    drawTextCentred(c, subtitle, centre, subBaseline, hexRgb(0xE0ECFF));

    const float half = static_cast<float>(name.width) * 0.5f + 40.0f;
    addHairline(c, centre - half, centre + half, baseline + 24.0f, hexRgb(0xFF8FD0));
    addGlow(c, centre, baseline + 24.0f, 3.0f, 1.2f, kWhite * 0.8f);

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
