// GLU quadrics: their settings and the sphere, sent as GLU sends it.
#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/immediate.h"
#include "gfx/gles3/sphere.h"

namespace gfx {

struct QuadricRecord {
    Enum normals = kGluSmooth;
    bool texture = false;
};

}  // namespace gfx

namespace gfx::gles3::calls {

Quadric newQuadric() { return new QuadricRecord; }

void quadricNormals(Quadric quadric, Enum normals) {
    if (quadric == nullptr) return;
    if (normals == kGluFlat) unsupported("quadric normals", normals);
    if (normals == kGluSmooth || normals == kGluFlat || normals == kGluNone) quadric->normals = normals;
}

void quadricTexture(Quadric quadric, Boolean generate) {
    if (quadric != nullptr) quadric->texture = generate != kFalse;
}

void sphere(Quadric quadric, double radius, int slices, int stacks) {
    if (quadric == nullptr || current() == nullptr) return;
    SphereOptions options;
    options.normals = quadric->normals != kGluNone;
    options.texture = quadric->texture;
    const std::vector<SpherePrimitive> primitives = sphereGeometry(radius, slices, stacks, options);
    if (primitives.empty()) return;
    std::vector<Span> spans;
    std::vector<Vertex> vertices;
    for (const SpherePrimitive& p : primitives) {
        spans.push_back({p.mode, vertices.size(), p.vertices.size()});
        for (const SphereVertex& sv : p.vertices) {
            Vertex v{};
            std::copy(sv.position, sv.position + 3, v.position);
            std::copy(sv.normal, sv.normal + 3, v.normal);
            std::copy(sv.texCoord, sv.texCoord + 2, v.texCoord);
            vertices.push_back(v);
        }
    }
    const SphereVertex last = primitives.back().vertices.back();
    drawPrimitives(std::move(spans), std::move(vertices), false, options.normals, options.texture);
    // GLU's last glNormal and glTexCoord stay the current values.
    if (options.normals) normal3f(last.normal[0], last.normal[1], last.normal[2]);
    if (options.texture) texCoord2f(last.texCoord[0], last.texCoord[1]);
}

void deleteQuadric(Quadric quadric) { delete quadric; }

}  // namespace gfx::gles3::calls
