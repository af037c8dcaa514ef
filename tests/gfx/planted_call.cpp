#include <GL/gl.h>

#include "tests/gfx/es_checks.h"

namespace gfx_test {

void plantFixedFunctionCall() {
    glBegin(GL_TRIANGLES);
    glEnd();
}

}  // namespace gfx_test
