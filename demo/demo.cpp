// The show. Its scenes arrive with the timeline, resources and rendering.
#include "demo/demo.h"

bool initialiseDemo(AppWindow* /*window*/, KeyState* /*keys*/) { return true; }

void updateDemo(std::uint32_t /*milliseconds*/) {}

void drawDemo() {}

void deinitialiseDemo() {}
