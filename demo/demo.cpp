// Drawing the show: for now only the clear and the timeline step that opens every frame.
#include <GL/gl.h>

#include "demo/demo.h"
#include "demo/timeline.h"

void drawDemo() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    selectScene();
}
