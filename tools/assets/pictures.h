// The show's ten pictures, each drawn by one function from our own shapes, noise and lettering.
#pragma once

#include <string>

#include "tools/assets/canvas.h"
#include "tools/assets/lettering.h"

namespace assets {

// The seven full-view sprites are 1024 x 512. The show draws them 2.0 x 1.5 units wide at
// 1.7 units from the eye, swaying sideways by up to 0.05 units, so only part of each reaches
// the band: rows 16..496 always; columns 31..993 of the still mask, and of the swaying
// pictures 57..967 always and 6..1018 at the ends of the sway.
constexpr int kSpriteWidth = 1024;
constexpr int kSpriteHeight = 512;
constexpr int kVisibleTop = 16;
constexpr int kVisibleBottom = 496;
constexpr int kStillLeft = 31;
constexpr int kStillRight = 993;
constexpr int kSwayingLeft = 57;
constexpr int kSwayingRight = 967;

// The faces the lettering uses, all from Debian's DejaVu and Liberation packages.
struct Fonts {
    FontFace title;   // heavy, for the show's name
    FontFace light;   // thin, for subtitles
    FontFace body;    // regular, for the credits
    FontFace italic;  // serif italic, for captions
};
bool loadFonts(FontLibrary& library, Fonts& fonts, std::string& error);

// The lines of the tower carry no texture coordinates and take their colour from the texel
// at the corner of the last sprite drawn, an average of the four corner texels. Those texels
// lie outside the band, so they are set to opaque white: the lines keep their own colour.
void markCornerTexels(Canvas& canvas);

Canvas drawMaskPicture();                      // mask.tga: the frame along the band's edges
Canvas drawTitlePicture(const Fonts& fonts);   // text.tga: the show's name
Canvas drawTowerCaption(const Fonts& fonts);   // t1.tga: the second scene's caption
Canvas drawRingsCaption(const Fonts& fonts);   // t2.tga: the third scene's caption
Canvas drawCreditsMaking(const Fonts& fonts);  // cre.tga: what made the show
Canvas drawCreditsThanks(const Fonts& fonts);  // cre2.tga: what it stands on, and thanks
Canvas drawShinePicture();                     // shine.tga: a soft glow with light rays

Canvas drawBallPicture();        // ball.tga: the third scene's ball surface (512 x 256)
Canvas drawChromeEnvironment();  // ball_sur.tga: a sphere-map of a studio and floor (512 x 512)
Canvas drawGiantBallPicture();   // mivra.tga: the giant ball's sphere-mapped nebula (1024 x 1024)

}  // namespace assets
