// OpenGL ES 3.0 for the gles3 renderer, which uses nothing WebGL 2 lacks.
#pragma once

#include <GLES3/gl3.h>
