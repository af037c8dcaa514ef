// The model-view and projection stacks and the calls that change them.
#include <cmath>

#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/lists.h"

namespace gfx::gles3::calls {

namespace {

std::vector<Mat4>& stack() {
    Context& c = *current();
    return c.state.matrixMode == kProjection ? c.matrices.projection : c.matrices.modelview;
}

std::size_t depthLimit() {
    return current()->state.matrixMode == kProjection ? kProjectionStackDepth : kModelviewStackDepth;
}

void changed() { ++current()->matrices.version; }

// Runs `change` on the current matrix now, or records it while a list is compiled.
template <typename Change>
void apply(Change change) {
    if (current() == nullptr) return;
    const auto run = [change] {
        change(stack().back());
        changed();
    };
    if (recorded(run)) return;
    run();
}

}  // namespace

void matrixMode(Enum mode) {
    if (current() == nullptr) return;
    if (mode != kModelview && mode != kProjection) {
        unsupported("matrix mode", mode);
        setError(kInvalidEnum);
        return;
    }
    const auto run = [mode] { current()->state.matrixMode = mode; };
    if (recorded(run)) return;
    run();
}

void loadIdentity() {
    apply([](Mat4& m) { m = identity(); });
}

void pushMatrix() {
    if (current() == nullptr) return;
    const auto run = [] {
        std::vector<Mat4>& s = stack();
        if (s.size() >= depthLimit()) {
            setError(kStackOverflow);
            return;
        }
        s.push_back(s.back());
    };
    if (recorded(run)) return;
    run();
}

void popMatrix() {
    if (current() == nullptr) return;
    const auto run = [] {
        std::vector<Mat4>& s = stack();
        if (s.size() <= 1) {
            setError(kStackUnderflow);
            return;
        }
        s.pop_back();
        changed();
    };
    if (recorded(run)) return;
    run();
}

void translatef(float x, float y, float z) {
    apply([x, y, z](Mat4& m) { translate(m, x, y, z); });
}

void rotatef(float degrees, float x, float y, float z) {
    apply([=](Mat4& m) { m = multiply(m, rotation(degrees, x, y, z)); });
}

void scalef(float x, float y, float z) {
    apply([x, y, z](Mat4& m) { scale(m, x, y, z); });
}

void ortho(double left, double right, double bottom, double top, double zNear, double zFar) {
    if (left == right || bottom == top || zNear == zFar) {
        setError(kInvalidValue);
        return;
    }
    apply([=](Mat4& m) { m = multiply(m, orthographic(left, right, bottom, top, zNear, zFar)); });
}

void perspective(double fovyDegrees, double aspect, double zNear, double zFar) {
    // GLU leaves the matrix alone when the projection would not be finite.
    const double half = fovyDegrees / 2.0 * 3.14159265358979323846 / 180.0;
    if (zFar == zNear || std::sin(half) == 0.0 || aspect == 0.0) return;
    apply([=](Mat4& m) { m = multiply(m, gfx::gles3::perspective(fovyDegrees, aspect, zNear, zFar)); });
}

void lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ, double upX,
            double upY, double upZ) {
    apply([=](Mat4& m) {
        m = multiply(m, lookAtRotation(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ));
        translate(m, static_cast<float>(-eyeX), static_cast<float>(-eyeY), static_cast<float>(-eyeZ));
    });
}

}  // namespace gfx::gles3::calls
