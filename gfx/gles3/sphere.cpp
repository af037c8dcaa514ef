// The sphere: stacks from +z down to -z, slices around z from +y towards +x. With texture
// coordinates every stack is a quad strip, poles included; without, the poles are fans.
#include "gfx/gles3/sphere.h"

#include <array>
#include <cmath>

namespace gfx::gles3 {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Angles {
    std::vector<float> sine, cosine;
};

// Angles are rounded to float before their sine and cosine are taken in double.
Angles angles(int count, double range) {
    Angles a;
    for (int k = 0; k <= count; ++k) {
        const float angle = k == count && range > kPi ? 0.0f : static_cast<float>(range * k / count);
        a.sine.push_back(static_cast<float>(std::sin(static_cast<double>(angle))));
        a.cosine.push_back(static_cast<float>(std::cos(static_cast<double>(angle))));
    }
    return a;
}

class Builder {
public:
    Builder(double radius, int slices, int stacks)
        : radius_(radius),
          slices_(slices),
          stacks_(stacks),
          slice_(angles(slices, 2.0 * kPi)),
          stack_(angles(stacks, kPi)) {}

    SphereVertex at(int stack, int slice) const {
        const auto i = static_cast<std::size_t>(stack);
        const auto j = static_cast<std::size_t>(slice);
        const double stackAngle = static_cast<double>(static_cast<float>(kPi * stack / stacks_));
        // The distance from the axis and the height are taken in double from the angle; the
        // bottom pole lies exactly on the axis.
        const float rho = stack == stacks_ ? 0.0f : static_cast<float>(std::sin(stackAngle) * radius_);
        SphereVertex v{};
        v.position[0] = slice_.sine[j] * rho;
        v.position[1] = slice_.cosine[j] * rho;
        v.position[2] = static_cast<float>(std::cos(stackAngle) * radius_);
        v.normal[0] = slice_.sine[j] * stack_.sine[i];
        v.normal[1] = slice_.cosine[j] * stack_.sine[i];
        v.normal[2] = stack_.cosine[i];
        v.texCoord[0] = 1.0f - static_cast<float>(slice) / static_cast<float>(slices_);
        v.texCoord[1] = 1.0f - static_cast<float>(stack) / static_cast<float>(stacks_);
        return v;
    }

    // The quad strip between stack boundaries `stack` and `stack` + 1.
    SpherePrimitive band(int stack) const {
        SpherePrimitive p{kQuadStrip, {}};
        for (int j = 0; j <= slices_; ++j) {
            p.vertices.push_back(at(stack + 1, j));
            p.vertices.push_back(at(stack, j));
        }
        return p;
    }

    SpherePrimitive topFan() const {
        SpherePrimitive p{kTriangleFan, {}};
        p.vertices.push_back(pole(1.0f, {0.0f, 0.0f, 1.0f}));
        for (int j = slices_; j >= 0; --j) p.vertices.push_back(at(1, j));
        return p;
    }

    SpherePrimitive bottomFan() const {
        // GLU takes the bottom pole's normal from the slice table at the index of the stack
        // count (the bottom stack's sine is not quite 0); past the table's end it is -z.
        const auto k = static_cast<std::size_t>(stacks_);
        const float s = stack_.sine.back();
        const std::array<float, 3> normal = stacks_ <= slices_
                                                ? std::array<float, 3>{slice_.sine[k] * s, slice_.cosine[k] * s, -1.0f}
                                                : std::array<float, 3>{0.0f, 0.0f, -1.0f};
        SpherePrimitive p{kTriangleFan, {}};
        p.vertices.push_back(pole(-1.0f, normal));
        for (int j = 0; j <= slices_; ++j) p.vertices.push_back(at(stacks_ - 1, j));
        return p;
    }

private:
    SphereVertex pole(float side, const std::array<float, 3>& normal) const {
        SphereVertex v{};
        v.position[2] = side * static_cast<float>(radius_);
        for (int c = 0; c < 3; ++c) v.normal[c] = normal[static_cast<std::size_t>(c)];
        return v;
    }

    double radius_;
    int slices_, stacks_;
    Angles slice_, stack_;
};

}  // namespace

std::vector<SpherePrimitive> sphereGeometry(double radius, int slices, int stacks, const SphereOptions& options) {
    std::vector<SpherePrimitive> primitives;
    if (slices < 2 || stacks < 1) return primitives;
    const Builder builder(radius, slices, stacks);
    if (options.texture) {
        for (int i = 0; i < stacks; ++i) primitives.push_back(builder.band(i));
        return primitives;
    }
    if (stacks < 2) {
        primitives.push_back(builder.band(0));
        return primitives;
    }
    primitives.push_back(builder.topFan());
    primitives.push_back(builder.bottomFan());
    for (int i = 1; i + 1 < stacks; ++i) primitives.push_back(builder.band(i));
    return primitives;
}

}  // namespace gfx::gles3
