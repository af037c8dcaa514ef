// Lights, the light model, the material, texture coordinate generation and the texture
// environment.
#include <array>
#include <cmath>

#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/lists.h"

namespace gfx::gles3 {

namespace {

std::size_t valueCount(Enum name) {
    switch (name) {
        case kAmbient:
        case kDiffuse:
        case kSpecular:
        case kPosition:
        case kEmission:
        case kAmbientAndDiffuse:
        case kLightModelAmbient: return 4;
        case kSpotDirection: return 3;
        default: return 1;
    }
}

using Values = std::array<float, 4>;

Values copyValues(Enum name, const float* values) {
    Values v{};
    if (values != nullptr)
        for (std::size_t i = 0; i < valueCount(name); ++i) v[i] = values[i];
    return v;
}

void setLight(Enum lightName, Enum name, const Values& v) {
    if (lightName < kLight0 || lightName >= kLight0 + kLightCount) {
        setError(kInvalidEnum);
        return;
    }
    Light& light = current()->state.lights[lightName - kLight0];
    const Mat4& m = modelview();
    switch (name) {
        case kAmbient: light.ambient = v; break;
        case kDiffuse: light.diffuse = v; break;
        case kSpecular: light.specular = v; break;
        // Positions and directions are kept in eye coordinates, as the model-view matrix of
        // the moment takes them.
        case kPosition: light.position = transform(m, v); break;
        case kSpotDirection: {
            const Vec4 d = transform(m, {v[0], v[1], v[2], 0.0f});
            light.spotDirection = {d[0], d[1], d[2]};
            break;
        }
        case kSpotExponent:
            if (v[0] < 0.0f || v[0] > 128.0f) return setError(kInvalidValue);
            light.spotExponent = v[0];
            break;
        case kSpotCutoff:
            if ((v[0] < 0.0f || v[0] > 90.0f) && v[0] != 180.0f) return setError(kInvalidValue);
            light.spotCutoff = v[0];
            break;
        case kConstantAttenuation:
        case kLinearAttenuation:
        case kQuadraticAttenuation:
            if (v[0] < 0.0f) return setError(kInvalidValue);
            light.attenuation[name - kConstantAttenuation] = v[0];
            break;
        default: setError(kInvalidEnum); break;
    }
}

void setMaterial(Enum face, Enum name, const Values& v) {
    if (face != kFront && face != kBack && face != kFrontAndBack) return setError(kInvalidEnum);
    if (face != kFrontAndBack) unsupported("material face", face);
    Material& m = current()->state.material;
    switch (name) {
        case kAmbient: m.ambient = v; break;
        case kDiffuse: m.diffuse = v; break;
        case kSpecular: m.specular = v; break;
        case kEmission: m.emission = v; break;
        case kAmbientAndDiffuse: m.ambient = m.diffuse = v; break;
        case kShininess:
            if (v[0] < 0.0f || v[0] > 128.0f) return setError(kInvalidValue);
            m.shininess = v[0];
            break;
        default: setError(kInvalidEnum); break;
    }
}

void setLightModel(Enum name, const Values& v) {
    FixedState& s = current()->state;
    switch (name) {
        case kLightModelAmbient: s.lightModelAmbient = v; break;
        case kLightModelLocalViewer: s.localViewer = v[0] != 0.0f; break;
        case kLightModelTwoSide: s.twoSide = v[0] != 0.0f; break;
        default: setError(kInvalidEnum); break;
    }
}

}  // namespace

namespace calls {

void lightfv(Enum light, Enum name, const float* values) {
    runOrRecord([light, name, v = copyValues(name, values)] { setLight(light, name, v); });
}

void lightModelfv(Enum name, const float* values) {
    runOrRecord([name, v = copyValues(name, values)] { setLightModel(name, v); });
}

void materialfv(Enum face, Enum name, const float* values) {
    runOrRecord([face, name, v = copyValues(name, values)] { setMaterial(face, name, v); });
}

void texGeni(Enum coordinate, Enum name, int value) {
    runOrRecord([coordinate, name, value] {
        const auto mode = static_cast<Enum>(value);
        if (name != kTextureGenMode) return setError(kInvalidEnum);
        if (mode != kSphereMap && mode != kEyeLinear && mode != kObjectLinear) return setError(kInvalidEnum);
        FixedState& s = current()->state;
        if (coordinate == kS)
            s.texGenModeS = mode;
        else if (coordinate == kT)
            s.texGenModeT = mode;
        else
            unsupported("texture coordinate", coordinate);
    });
}

void texEnvi(Enum target, Enum name, int value) {
    runOrRecord([target, name, value] {
        const auto mode = static_cast<Enum>(value);
        if (target != kTextureEnv || name != kTextureEnvMode) return setError(kInvalidEnum);
        if (mode != kModulate && mode != kDecal && mode != kReplace) {
            unsupported("texture environment", mode);
            return setError(kInvalidEnum);
        }
        current()->state.textureEnvMode = mode;
    });
}

}  // namespace calls

}  // namespace gfx::gles3
