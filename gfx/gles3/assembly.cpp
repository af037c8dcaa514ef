// Decomposition of every primitive mode into independent primitives, in the driver's order.
#include "gfx/gles3/assembly.h"

#include <cstdint>

namespace gfx::gles3 {

namespace {

// Gives the primitives either as vertex copies or, in fill mode, as indices from `base`.
class Builder {
public:
    Builder(const Vertex* vertices, Enum polygonMode, bool flat, std::vector<Vertex>& out)
        : v_(vertices), polygonMode_(polygonMode), flat_(flat), out_(&out) {}
    Builder(std::size_t base, bool flat, std::vector<std::uint32_t>& indices)
        : polygonMode_(kFill), flat_(flat), indices_(&indices), base_(base) {}

    void point(std::size_t i) { put(i); }
    void line(std::size_t a, std::size_t b) {
        put(a);
        put(b);
    }
    void triangle(std::size_t a, std::size_t b, std::size_t c) {
        put(a);
        put(b);
        put(c);
    }
    // One polygon's outline in line or point mode: `loop` lists its corners in the order the
    // driver walks its edges; `provoking` is the vertex flat shading takes the colour from.
    void outline(std::initializer_list<std::size_t> loop, std::size_t provoking) {
        const std::size_t* corners = loop.begin();
        const std::size_t n = loop.size();
        for (std::size_t k = 0; k < n; ++k) {
            if (polygonMode_ == kPoint) {
                emit(corners[k], provoking);
            } else {
                emit(corners[k], provoking);
                emit(corners[(k + 1) % n], provoking);
            }
        }
    }
    void polygonOutline(std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            emit(k, 0);
            if (polygonMode_ != kPoint) emit((k + 1) % count, 0);
        }
    }
    Enum polygonMode() const { return polygonMode_; }
    bool flat() const { return flat_; }

private:
    void put(std::size_t i) {
        if (indices_ != nullptr)
            indices_->push_back(static_cast<std::uint32_t>(base_ + i));
        else
            out_->push_back(v_[i]);
    }
    void emit(std::size_t i, std::size_t provoking) {
        Vertex vertex = v_[i];
        if (flat_) {
            for (int c = 0; c < 4; ++c) vertex.colour[c] = v_[provoking].colour[c];
            for (int c = 0; c < 3; ++c) vertex.normal[c] = v_[provoking].normal[c];
        }
        out_->push_back(vertex);
    }

    const Vertex* v_ = nullptr;
    Enum polygonMode_;
    bool flat_;
    std::vector<Vertex>* out_ = nullptr;
    std::vector<std::uint32_t>* indices_ = nullptr;
    std::size_t base_ = 0;
};

// A triangle (a, b, c), provoking vertex c: filled, or its edges c-a, a-b, b-c.
void triangle(Builder& b, std::size_t i0, std::size_t i1, std::size_t i2) {
    if (b.polygonMode() == kFill)
        b.triangle(i0, i1, i2);
    else
        b.outline({i2, i0, i1}, i2);
}

void assembleLines(Enum mode, std::size_t count, Builder& b) {
    if (mode == kLines) {
        for (std::size_t i = 0; i + 1 < count; i += 2) b.line(i, i + 1);
        return;
    }
    if (count < 2) return;
    for (std::size_t i = 0; i + 1 < count; ++i) b.line(i, i + 1);
    if (mode == kLineLoop) b.line(count - 1, 0);
}

void assemblePolygons(Enum mode, std::size_t count, Builder& b) {
    const bool fill = b.polygonMode() == kFill;
    const bool flat = b.flat();
    switch (mode) {
        case kTriangles:
            for (std::size_t i = 0; i + 2 < count; i += 3) triangle(b, i, i + 1, i + 2);
            break;
        case kTriangleStrip:
            // Odd triangles swap their first two vertices to keep the winding.
            for (std::size_t i = 0; i + 2 < count; ++i) {
                if (i % 2 == 0)
                    triangle(b, i, i + 1, i + 2);
                else
                    triangle(b, i + 1, i, i + 2);
            }
            break;
        case kTriangleFan:
            for (std::size_t i = 1; i + 1 < count; ++i) triangle(b, 0, i, i + 1);
            break;
        case kQuads:
            for (std::size_t i = 0; i + 3 < count; i += 4) {
                if (fill && flat) {
                    b.triangle(i, i + 1, i + 3);
                    b.triangle(i + 1, i + 2, i + 3);
                } else if (fill) {
                    // Smooth quads are split along the other diagonal when the driver
                    // rasterizes them (its feedback shows the split above).
                    b.triangle(i, i + 1, i + 2);
                    b.triangle(i, i + 2, i + 3);
                } else {
                    b.outline({i + 3, i, i + 1, i + 2}, i + 3);
                }
            }
            break;
        case kQuadStrip:
            // Quad k is strip vertices 2k, 2k+1, 2k+3, 2k+2; the last of them provokes.
            for (std::size_t i = 0; i + 3 < count; i += 2) {
                if (fill) {
                    b.triangle(i + 2, i, i + 3);
                    b.triangle(i, i + 1, i + 3);
                } else {
                    b.outline({i + 3, i + 2, i, i + 1}, i + 3);
                }
            }
            break;
        case kPolygon:
            // A fan around the first vertex, which provokes.
            if (count < 3) break;
            if (fill) {
                for (std::size_t i = 1; i + 1 < count; ++i) b.triangle(i, i + 1, 0);
            } else {
                b.polygonOutline(count);
            }
            break;
        default: break;
    }
}

}  // namespace

bool isPolygonMode(Enum mode) { return mode >= kTriangles && mode <= kPolygon; }

Topology fillTopology(Enum mode) {
    if (mode == kPoints) return Topology::kPoints;
    if (mode == kLines || mode == kLineLoop || mode == kLineStrip) return Topology::kLines;
    return Topology::kTriangles;
}

bool assemble(Enum mode, const Vertex* vertices, std::size_t count, Enum polygonMode, bool flat,
              std::vector<Vertex>& out, Topology& topology) {
    if (mode > kPolygon) return false;
    const Enum effective = isPolygonMode(mode) ? polygonMode : kFill;
    Builder builder(vertices, effective, flat, out);
    if (mode == kPoints) {
        topology = Topology::kPoints;
        for (std::size_t i = 0; i < count; ++i) builder.point(i);
    } else if (!isPolygonMode(mode)) {
        topology = Topology::kLines;
        assembleLines(mode, count, builder);
    } else {
        topology = effective == kFill   ? Topology::kTriangles
                   : effective == kLine ? Topology::kLines
                                        : Topology::kPoints;
        assemblePolygons(mode, count, builder);
    }
    return true;
}

void assembleSpans(const std::vector<Span>& spans, const Vertex* vertices, Enum polygonMode, bool flat,
                   std::vector<Vertex>& out, Topology& topology) {
    out.clear();
    topology = spans.empty() ? Topology::kTriangles : fillTopology(spans.front().mode);
    for (const Span& span : spans)
        assemble(span.mode, vertices + span.first, span.count, polygonMode, flat, out, topology);
}

void assembleIndices(const std::vector<Span>& spans, bool flat, std::vector<std::uint32_t>& out, Topology& topology) {
    out.clear();
    topology = spans.empty() ? Topology::kTriangles : fillTopology(spans.front().mode);
    for (const Span& span : spans) {
        Builder builder(span.first, flat, out);
        if (span.mode == kPoints) {
            for (std::size_t i = 0; i < span.count; ++i) builder.point(i);
        } else if (isPolygonMode(span.mode)) {
            assemblePolygons(span.mode, span.count, builder);
        } else if (span.mode <= kPolygon) {
            assembleLines(span.mode, span.count, builder);
        }
    }
}

}  // namespace gfx::gles3
