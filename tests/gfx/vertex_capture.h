// The gles3 renderer's vertex stage as it runs: transform feedback of the clip position,
// front colour and texture coordinate of every vertex a drawing of points sends.
#pragma once

#include <functional>
#include <vector>

namespace gfx_test {

// With the gles3 renderer started on an ES context whose programs capture their outputs:
// runs `draw` twice (the first time readies its program), capturing the second. Ten floats
// per vertex: clip x, y, z, w, colour r, g, b, a, s, t.
std::vector<float> captureVertices(int vertices, const std::function<void()>& draw);

}  // namespace gfx_test
