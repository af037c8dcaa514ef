// Drawing on a Canvas: light is added (the show blends every picture additively), shapes are
// anti-aliased from their exact distance, and blurs give glows.
#pragma once

#include <cstdint>

#include "tools/assets/canvas.h"

namespace assets {

// Glow around a point: colour * 1 / (1 + (d / radius)^2)^falloff, cut where it is negligible.
void addGlow(Canvas& canvas, float cx, float cy, float radius, float falloff, Rgb colour);

// Filled disc with an anti-aliased edge `soft` pixels wide.
void addDisc(Canvas& canvas, float cx, float cy, float radius, float soft, Rgb colour);

// Circle outline of the given stroke width.
void addRing(Canvas& canvas, float cx, float cy, float radius, float strokeWidth, Rgb colour);

// Straight stroke with round ends; colour fades linearly from colourA at the start to colourB.
void addLine(Canvas& canvas, float x0, float y0, float x1, float y1, float strokeWidth, Rgb colourA, Rgb colourB);
inline void addLine(Canvas& canvas, float x0, float y0, float x1, float y1, float strokeWidth, Rgb colour) {
    addLine(canvas, x0, y0, x1, y1, strokeWidth, colour, colour);
}

// Axis-aligned rectangle [x0, x1) x [y0, y1), anti-aliased at fractional edges.
void addRect(Canvas& canvas, float x0, float y0, float x1, float y1, Rgb colour);

// Approximate Gaussian blur of standard deviation sigma (three box passes each way).
void blur(Canvas& canvas, float sigma);

// dst += src * scale, pixel by pixel (sizes must match).
void addCanvas(Canvas& dst, const Canvas& src, float scale);

// Multiplies every pixel by a colour.
void tint(Canvas& canvas, Rgb factor);

// Smooth value noise in [0, 1] on an integer lattice of the given period (tiling), and the
// sum of octaves of it, also in [0, 1].
float valueNoise(float x, float y, int period, std::uint32_t seed);
float fractalNoise(float x, float y, int period, int octaves, std::uint32_t seed);

float smoothStep(float edge0, float edge1, float x);

}  // namespace assets
