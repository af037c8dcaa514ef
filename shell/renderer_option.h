// The --renderer option of every program that draws the show or a model: which renderer the
// drawing calls reach, chosen before any window opens.
#pragma once

#include "base/command_line.h"
#include "gfx/renderer.h"

// Adds "--renderer NAME" to `app`: gl11 (the default) or gles3, written to `kind` when given.
// Any other name is a wrong command line, named with the renderers there are.
CLI::Option* addRendererOption(CLI::App& app, gfx::RendererKind& kind);
