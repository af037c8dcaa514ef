// OpenGL 1.x lighting of one vertex: emission, the scene's ambient light and each enabled
// light's ambient, diffuse and specular terms with attenuation and spotlight; alpha from the
// diffuse material.
#include "gfx/gles3/lighting_cpu.h"

#include <algorithm>
#include <cmath>

#include "gfx/gles3/context.h"

namespace gfx::gles3 {

namespace {

using Vec3 = std::array<double, 3>;

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vec3 normalised(const Vec3& v) {
    const double length = std::sqrt(dot(v, v));
    return length > 0.0 ? Vec3{v[0] / length, v[1] / length, v[2] / length} : v;
}

}  // namespace

Vec4 litColour(const Vec4& eye4, const std::array<float, 3>& normal) {
    const FixedState& s = current()->state;
    const Material& m = s.material;
    const Vec4& ambient = s.colorMaterial ? s.colour : m.ambient;
    const Vec4& diffuse = s.colorMaterial ? s.colour : m.diffuse;
    const std::array<float, 9> nm = normalMatrix(modelview());
    Vec3 n{};
    for (int r = 0; r < 3; ++r)
        n[static_cast<std::size_t>(r)] = nm[static_cast<std::size_t>(r)] * normal[0] +
                                         nm[static_cast<std::size_t>(3 + r)] * normal[1] +
                                         nm[static_cast<std::size_t>(6 + r)] * normal[2];
    if (s.normalize) n = normalised(n);
    const Vec3 eye{eye4[0] / eye4[3], eye4[1] / eye4[3], eye4[2] / eye4[3]};
    double c[3];
    for (int k = 0; k < 3; ++k) c[k] = m.emission[static_cast<std::size_t>(k)] + ambient[k] * s.lightModelAmbient[k];
    for (const Light& light : s.lights) {
        if (!light.enabled) continue;
        Vec3 toLight;
        double attenuation = 1.0;
        if (light.position[3] != 0.0f) {
            toLight = {light.position[0] / light.position[3] - eye[0], light.position[1] / light.position[3] - eye[1],
                       light.position[2] / light.position[3] - eye[2]};
            const double d = std::sqrt(dot(toLight, toLight));
            toLight = normalised(toLight);
            attenuation = 1.0 / (light.attenuation[0] + light.attenuation[1] * d + light.attenuation[2] * d * d);
        } else {
            toLight = normalised({light.position[0], light.position[1], light.position[2]});
        }
        if (light.spotCutoff != 180.0f) {
            const Vec3 direction = normalised({light.spotDirection[0], light.spotDirection[1], light.spotDirection[2]});
            const double spot = -dot(toLight, direction);
            attenuation *= spot < std::cos(light.spotCutoff * 3.14159265358979323846 / 180.0)
                               ? 0.0
                               : std::pow(std::max(spot, 0.0), static_cast<double>(light.spotExponent));
        }
        const double nDotL = std::max(dot(n, toLight), 0.0);
        const Vec3 h = s.localViewer ? normalised(Vec3{toLight[0] - normalised(eye)[0], toLight[1] - normalised(eye)[1],
                                                       toLight[2] - normalised(eye)[2]})
                                     : normalised(Vec3{toLight[0], toLight[1], toLight[2] + 1.0});
        const double nDotH = std::max(dot(n, h), 0.0);
        const double specular = nDotL > 0.0 ? (m.shininess == 0.0f ? 1.0 : std::pow(nDotH, m.shininess)) : 0.0;
        for (int k = 0; k < 3; ++k)
            c[k] += attenuation * (ambient[k] * light.ambient[k] + nDotL * diffuse[k] * light.diffuse[k] +
                                   specular * m.specular[k] * light.specular[k]);
    }
    return {static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2]), diffuse[3]};
}

}  // namespace gfx::gles3
