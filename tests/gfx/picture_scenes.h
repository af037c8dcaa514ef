// The scenes the pictures test draws on both renderers: pieces of the show (its state,
// balls, sprites and tower) and every kind of drawing the tree uses besides.
#pragma once

#include <vector>

#include "gfx/gfx.h"
#include "tests/gfx/renderer_context.h"

namespace gfx_test {

constexpr int kSceneWidth = 160, kSceneHeight = 120;

// A texture of a smooth pattern with varying alpha, bound, linear filtering.
unsigned makeTexture(int width, int height, gfx::Enum format, int internalFormat);
// The show's standing state, cleared, with its projection of the whole client.
void showState();
// Light 0 at the eye and sphere-map generation set up, as the show sets them.
void light();
// The show's ball: an opaque textured sphere and an additive sphere-mapped shell.
void ball(gfx::Quadric quadric, unsigned surface, unsigned environment, bool opaque);
gfx::Quadric texturedQuadric();
// Layers of a tower as the show draws it, from a buffer or in immediate mode.
void tower(bool fromBuffer, float width);

// One unit per pixel, cleared to black.
void orthoWindow();
void lineKinds();
void text(RendererContext& context);
void outlines();
void flatModes();
void textureFormats();
void cornerQuads();
// Wide lines from buffers of every layout, filled again and made anew.
void bufferLines();
// Smooth wide lines whose edges fall on pixel centres, without blending and with, over depth.
void lineEdges();

}  // namespace gfx_test
