// The fixed-function renderer's table: the driver's own entry points.
#pragma once

#include "gfx/gfx.h"

namespace gfx::gl11 {

const EntryPoints& entryPoints();

}  // namespace gfx::gl11
