// cre.tga and cre2.tga: the two pages of credits over the giant ball. The first names what
// made the show, the second the free software it stands on, with thanks.
#include <algorithm>

#include "tools/assets/canvas_draw.h"
#include "tools/assets/pictures.h"

namespace assets {

namespace {

struct CreditLine {
    const char* label;
    const char* text;
};

const Rgb kWhite = {1.0f, 1.0f, 1.0f};
constexpr float kColumn = 340.0f;  // labels end left of it, texts start right of it

void addHeading(Canvas& c, const Fonts& fonts, const char* text, float y, Rgb halo) {
    const TextMask m = renderText(fonts.light, text, 30.0f, 9.0f);
    const float x = centredX(m, kSpriteWidth * 0.5f);
    drawTextGlow(c, m, x, y, 7.0f, halo * 1.2f);
    drawText(c, m, x, y, mixRgb(kWhite, halo, 0.25f));
    const float half = static_cast<float>(m.width) * 0.5f;
    const float mid = kSpriteWidth * 0.5f;
    addLine(c, mid - half - 150.0f, y + 18.0f, mid, y + 18.0f, 1.2f, halo * 0.0f, halo + kWhite * 0.3f);
    addLine(c, mid, y + 18.0f, mid + half + 150.0f, y + 18.0f, 1.2f, halo + kWhite * 0.3f, halo * 0.0f);
}

void addLines(Canvas& c, const Fonts& fonts, const CreditLine* lines, int count, float y, float step, Rgb halo) {
    for (int i = 0; i < count; ++i) {
        const float baseline = y + step * static_cast<float>(i);
        const TextMask text = renderText(fonts.body, lines[i].text, 27.0f, 0.5f);
        drawTextGlow(c, text, kColumn + 22.0f, baseline, 5.0f, halo * 0.7f);
        drawText(c, text, kColumn + 22.0f, baseline, kWhite);
        if (lines[i].label[0] == '\0') continue;  // a text running on from the line above
        const TextMask label = renderText(fonts.light, lines[i].label, 25.0f, 2.0f);
        const float labelX = kColumn - 22.0f - static_cast<float>(label.width) + static_cast<float>(label.originX);
        drawTextGlow(c, label, labelX, baseline, 4.0f, halo * 0.9f);
        drawText(c, label, labelX, baseline, mixRgb(kWhite, halo, 0.45f));
        addDisc(c, kColumn, baseline - 9.0f, 2.4f, 1.0f, halo + kWhite * 0.4f);
    }
}

}  // namespace

Canvas drawCreditsMaking(const Fonts& fonts) {
    Canvas c(kSpriteWidth, kSpriteHeight);
    const Rgb halo = hexRgb(0x3FA8FF);
    addHeading(c, fonts, "YAPIM  \xC2\xB7  MADE WITH", 112.0f, halo);
    const CreditLine lines[] = {
        {"engine", "Oyun motorum, our own C++20 engine"},       {"drawing", "OpenGL 1.1, immediate mode"},
        {"pictures", "shapes, noise and lettering, all drawn"}, {"", "by our own code"},
        {"music", "our own synthesiser: oscillators,"},         {"", "envelopes, filters and drums"},
    };
    addLines(c, fonts, lines, 6, 196.0f, 46.0f, halo);
    markCornerTexels(c);
    return c;
}

Canvas drawCreditsThanks(const Fonts& fonts) {
    Canvas c(kSpriteWidth, kSpriteHeight);
    const Rgb halo = hexRgb(0xFF5FB0);
    addHeading(c, fonts, "BUILT ON", 72.0f, halo);
    const CreditLine lines[] = {
        {"SDL2", "window, input and sound"},       {"Mesa", "OpenGL and GLU"},
        {"FFmpeg", "music decoding and encoding"}, {"FreeType", "glyphs"},
        {"fontconfig", "finding the fonts"},       {"fonts", "DejaVu and Liberation"},
    };
    addLines(c, fonts, lines, 6, 132.0f, 41.0f, halo);

    const TextMask thanks = renderText(fonts.italic,
                                       "te\xC5\x9F"
                                       "ekk\xC3\xBCrler  \xC2\xB7  thank you for watching",
                                       38.0f, 1.0f);
    const float y = 458.0f;
    const float x = centredX(thanks, kSpriteWidth * 0.5f);
    drawTextGlow(c, thanks, x, y, 12.0f, halo * 1.4f);
    drawText(c, thanks, x, y, kWhite);
    const TextMask makers = renderText(fonts.light, "with thanks to everyone who makes them", 22.0f, 3.0f);
    drawTextCentred(c, makers, kSpriteWidth * 0.5f, y - 56.0f, mixRgb(kWhite, halo, 0.35f));
    markCornerTexels(c);
    return c;
}

}  // namespace assets
