// Choosing the program for the current state and sending it the uniforms the state gives:
// matrices, lights, material and the line's width and viewport.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "gfx/gles3/assembly.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/draw.h"
#include "gfx/gles3/shaders.h"
#include "gfx/gles3/texture_records.h"

namespace gfx::gles3::detail {

namespace {

ProgramKey keyFor(ProgramKind kind, Constant constant, bool fetchEnds) {
    const Context& c = *current();
    const FixedState& s = c.state;
    ProgramKey key;
    key.kind = kind;
    if (kind != ProgramKind::kBitmap) {
        key.lighting = s.lighting;
        if (s.lighting) {
            for (const Light& light : s.lights)
                key.lights = static_cast<std::uint8_t>(key.lights + (light.enabled ? 1 : 0));
            key.localViewer = s.localViewer;
            key.twoSide = s.twoSide;
            key.colorMaterial = s.colorMaterial;
        }
        key.normalize = s.normalize;
        const auto gen = [](bool on, Enum mode) {
            if (!on) return TexGen::kOff;
            return mode == kSphereMap ? TexGen::kSphereMap : mode == kObjectLinear ? TexGen::kObject : TexGen::kEye;
        };
        key.genS = gen(s.texGenS, s.texGenModeS);
        key.genT = gen(s.texGenT, s.texGenModeT);
        // The driver shades thin aliased lines smoothly even in flat mode.
        const bool thinLines = kind == ProgramKind::kThinLines;
        key.flat = (s.shadeModel == kFlat && !thinLines) || (constant.colour && !s.lighting);
        key.flatTexCoord = constant.texCoord && !s.texGenS && !s.texGenT;
        key.smoothLines = kind == ProgramKind::kWideLines && s.lineSmooth;
        key.fetchEnds = kind == ProgramKind::kWideLines && fetchEnds;
        key.constantColour = key.fetchEnds && !s.lighting && !s.texGenS && !s.texGenT;
        if (thinLines) key.kind = ProgramKind::kPrimitives;
    }
    key.texture = texturing();
    if (key.texture) {
        key.environment = s.textureEnvMode;
        const Enum format = boundTextureFormat();
        key.format = format == kRgb         ? TextureFormat::kRgb
                     : format == kLuminance ? TextureFormat::kLuminance
                                            : TextureFormat::kRgba;
    }
    return key;
}

}  // namespace

void updateDerived() {
    Context& c = *current();
    Gpu& g = *c.gpu;
    if (g.derivedVersion == c.matrices.version) return;
    g.mvp = multiply(projection(), modelview());
    g.normalMatrix = normalMatrix(modelview());
    g.derivedVersion = c.matrices.version;
}

namespace {

void setLightUniforms(Program& p) {
    const FixedState& s = current()->state;
    float ambient[kLightCount * 4], diffuse[kLightCount * 4], specular[kLightCount * 4], position[kLightCount * 4],
        spot[kLightCount * 4], attenuation[kLightCount * 4];
    int n = 0;
    for (const Light& light : s.lights) {
        if (!light.enabled) continue;
        float* at = nullptr;
        std::memcpy(ambient + n * 4, light.ambient.data(), 16);
        std::memcpy(diffuse + n * 4, light.diffuse.data(), 16);
        std::memcpy(specular + n * 4, light.specular.data(), 16);
        std::memcpy(position + n * 4, light.position.data(), 16);
        at = spot + n * 4;
        at[0] = light.spotDirection[0];
        at[1] = light.spotDirection[1];
        at[2] = light.spotDirection[2];
        at[3] = light.spotCutoff == 180.0f
                    ? -2.0f
                    : static_cast<float>(std::cos(light.spotCutoff * 3.14159265358979323846 / 180.0));
        at = attenuation + n * 4;
        at[0] = light.attenuation[0];
        at[1] = light.attenuation[1];
        at[2] = light.attenuation[2];
        at[3] = light.spotExponent;
        ++n;
    }
    if (n == 0) return;
    p.lightAmbient.set4fv(ambient, n);
    p.lightDiffuse.set4fv(diffuse, n);
    p.lightSpecular.set4fv(specular, n);
    p.lightPosition.set4fv(position, n);
    p.lightSpot.set4fv(spot, n);
    p.lightAttenuation.set4fv(attenuation, n);
}

void setUniforms(Program& p, const ProgramKey& key) {
    const Context& c = *current();
    const FixedState& s = c.state;
    const Gpu& g = *c.gpu;
    if (key.kind == ProgramKind::kBitmap) return;
    p.mvp.setMatrix4(g.mvp.m.data());
    if (key.lighting || key.genS != TexGen::kOff || key.genT != TexGen::kOff) {
        p.modelview.setMatrix4(modelview().m.data());
        p.normalMatrix.setMatrix3(g.normalMatrix.data());
    }
    if (key.lighting) {
        setLightUniforms(p);
        p.materialAmbient.set4f(s.material.ambient.data());
        p.materialDiffuse.set4f(s.material.diffuse.data());
        p.materialSpecular.set4f(s.material.specular.data());
        p.materialEmission.set4f(s.material.emission.data());
        p.shininess.set1f(s.material.shininess);
        p.lightModelAmbient.set4f(s.lightModelAmbient.data());
    }
    if (key.kind == ProgramKind::kWideLines) {
        const float viewport[4] = {static_cast<float>(s.viewport[0]), static_cast<float>(s.viewport[1]),
                                   static_cast<float>(s.viewport[2]), static_cast<float>(s.viewport[3])};
        p.viewport.set4f(viewport);
        const float width = s.lineSmooth ? std::max(1.0f, s.lineWidth) : std::max(1.0f, std::round(s.lineWidth));
        p.halfWidth.set1f(width / 2.0f);
        if (key.constantColour) {
            p.colour.set4f(s.colour.data());
            p.texCoord.set2f(s.texCoord[0], s.texCoord[1]);
        }
    }
}

}  // namespace

Program* useProgram(ProgramKind kind, Constant constant, bool fetchEnds) {
    Gpu& g = *current()->gpu;
    const ProgramKey key = keyFor(kind, constant, fetchEnds);
    Program* p = g.programs.get(key);
    if (p == nullptr) return nullptr;
    if (g.program != p->id) {
        glUseProgram(p->id);
        g.program = p->id;
    }
    updateDerived();
    setUniforms(*p, key);
    return p;
}

ProgramKind kindFor(Topology topology, bool wide) {
    if (topology != Topology::kLines) return ProgramKind::kPrimitives;
    return wide ? ProgramKind::kWideLines : ProgramKind::kThinLines;
}

}  // namespace gfx::gles3::detail
