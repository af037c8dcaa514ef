// Display lists: names, compilation, execution and deletion.
#include "gfx/gles3/lists.h"

#include <cstdint>
#include <cstring>

#include "gfx/gles3/assembly.h"
#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/immediate.h"

namespace gfx::gles3 {

namespace {

// OpenGL's least nesting depth of glCallList within lists.
constexpr int kMaxNesting = 64;

void callListNow(unsigned list) {
    Lists& l = lists();
    const auto found = l.lists.find(list);
    if (found == l.lists.end() || found->second.operations == nullptr || l.nesting >= kMaxNesting) return;
    ++l.nesting;
    const auto operations = found->second.operations;
    for (const auto& operation : *operations) operation();
    --l.nesting;
}

// The n-th name of glCallLists' array, as its type reads it.
bool listName(Enum type, const void* lists, int n, unsigned& name) {
    constexpr Enum kByte = 0x1400, kShort = 0x1402, kUnsignedShort = 0x1403, kInt = 0x1404, kUnsignedInt = 0x1405;
    const auto i = static_cast<std::size_t>(n);
    switch (type) {
        case kByte: name = static_cast<unsigned>(static_cast<const std::int8_t*>(lists)[i]); return true;
        case kUnsignedByte: name = static_cast<const std::uint8_t*>(lists)[i]; return true;
        case kShort: name = static_cast<unsigned>(static_cast<const std::int16_t*>(lists)[i]); return true;
        case kUnsignedShort: name = static_cast<const std::uint16_t*>(lists)[i]; return true;
        case kInt: name = static_cast<unsigned>(static_cast<const std::int32_t*>(lists)[i]); return true;
        case kUnsignedInt: name = static_cast<const std::uint32_t*>(lists)[i]; return true;
        case kFloat: name = static_cast<unsigned>(static_cast<const float*>(lists)[i]); return true;
        default: return false;
    }
}

void callListsNow(const std::vector<unsigned>& names) {
    const unsigned base = current()->state.listBase;
    for (const unsigned name : names) callListNow(base + name);
}

}  // namespace

Batch::~Batch() {
    if (hasGeometry && current() != nullptr) deleteStaticGeometry(geometry);
}

Lists& lists() { return *current()->lists; }

bool compilingList() {
    const Context* c = current();
    return c != nullptr && c->lists->compiling != 0;
}

bool recordOperation(std::function<void()> operation) {
    Lists& l = lists();
    l.building.operations->push_back(operation);
    if (l.mode == kCompileAndExecute) operation();
    return true;
}

std::shared_ptr<Batch> makeBatch(std::vector<Span> spans, std::vector<Vertex> vertices, std::size_t colourless,
                                 std::size_t normalless, std::size_t texCoordless) {
    auto batch = std::make_shared<Batch>();
    batch->spans = std::move(spans);
    batch->vertices = std::move(vertices);
    batch->colourless = colourless;
    batch->normalless = normalless;
    batch->texCoordless = texCoordless;
    const std::size_t n = batch->vertices.size();
    const auto allOrNothing = [n](std::size_t less) { return less == 0 || less == n; };
    if (allOrNothing(colourless) && allOrNothing(normalless) && allOrNothing(texCoordless)) {
        Topology topology;
        std::vector<std::uint32_t> smooth, flat;
        assembleIndices(batch->spans, false, smooth, topology);
        assembleIndices(batch->spans, true, flat, topology);
        if (topology == Topology::kLines) {
            std::vector<Vertex> ends;
            assembleSpans(batch->spans, batch->vertices.data(), kFill, false, ends, topology);
            batch->geometry =
                makeStaticGeometry(topology, ends, {}, {}, colourless == 0, normalless == 0, texCoordless == 0);
        } else {
            batch->geometry = makeStaticGeometry(topology, batch->vertices, smooth, flat, colourless == 0,
                                                 normalless == 0, texCoordless == 0);
        }
        batch->hasGeometry = true;
    }
    return batch;
}

void drawBatch(const Batch& batch) {
    Context& c = *current();
    const FixedState& s = c.state;
    const bool polygons = !batch.spans.empty() && isPolygonMode(batch.spans.front().mode);
    if (batch.hasGeometry && (!polygons || s.polygonModeFront == kFill)) {
        drawStaticGeometry(batch.geometry);
        return;
    }
    // Fill in what the list left to the current values, then assemble as immediate mode does.
    std::vector<Vertex> vertices = batch.vertices;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        Vertex& v = vertices[i];
        if (i < batch.colourless) std::memcpy(v.colour, s.colour.data(), sizeof v.colour);
        if (i < batch.normalless) std::memcpy(v.normal, s.normal.data(), sizeof v.normal);
        if (i < batch.texCoordless) {
            v.texCoord[0] = s.texCoord[0];
            v.texCoord[1] = s.texCoord[1];
        }
    }
    std::vector<Vertex>& assembled = c.gpu->scratch;
    Topology topology;
    assembleSpans(batch.spans, vertices.data(), s.polygonModeFront, s.shadeModel == kFlat, assembled, topology);
    drawVertices(topology, assembled.data(), assembled.size());
}

namespace calls {

unsigned genLists(int range) {
    Context* c = current();
    if (c == nullptr) return 0;
    if (range < 0) {
        setError(kInvalidValue);
        return 0;
    }
    if (range == 0) return 0;
    Lists& l = lists();
    // The first run of `range` unused names after the highest in use.
    const unsigned first = l.lists.empty() ? 1u : l.lists.rbegin()->first + 1;
    for (unsigned i = 0; i < static_cast<unsigned>(range); ++i) l.lists[first + i];
    return first;
}

void newList(unsigned list, Enum mode) {
    Context* c = current();
    if (c == nullptr) return;
    Lists& l = lists();
    if (list == 0) {
        setError(kInvalidValue);
        return;
    }
    if (mode != kCompile && mode != kCompileAndExecute) {
        setError(kInvalidEnum);
        return;
    }
    if (l.compiling != 0 || c->immediate->inside) {
        setError(kInvalidOperation);
        return;
    }
    l.compiling = list;
    l.mode = mode;
    l.building.operations = std::make_shared<std::vector<std::function<void()>>>();
    l.colourSet = l.normalSet = l.texCoordSet = false;
}

void endList() {
    Context* c = current();
    if (c == nullptr) return;
    Lists& l = lists();
    if (l.compiling == 0 || c->immediate->inside) {
        setError(kInvalidOperation);
        return;
    }
    l.lists[l.compiling] = std::move(l.building);
    l.building = DisplayList{};
    l.compiling = 0;
}

void callList(unsigned list) {
    if (current() == nullptr) return;
    if (recorded([list] { callListNow(list); })) return;
    callListNow(list);
}

void callLists(int count, Enum type, const void* names) {
    if (current() == nullptr) return;
    if (count < 0) {
        setError(kInvalidValue);
        return;
    }
    unsigned name = 0;
    if (count > 0 && !listName(type, names, 0, name)) {
        setError(kInvalidEnum);
        return;
    }
    if (compilingList()) {
        std::vector<unsigned> resolved(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) listName(type, names, i, resolved[static_cast<std::size_t>(i)]);
        recorded([resolved] { callListsNow(resolved); });
        return;
    }
    const unsigned base = current()->state.listBase;
    for (int i = 0; i < count; ++i) {
        listName(type, names, i, name);
        callListNow(base + name);
    }
}

void listBase(unsigned base) {
    if (current() == nullptr) return;
    if (recorded([base] { current()->state.listBase = base; })) return;
    current()->state.listBase = base;
}

void deleteLists(unsigned list, int range) {
    if (current() == nullptr) return;
    if (range < 0) {
        setError(kInvalidValue);
        return;
    }
    Lists& l = lists();
    for (unsigned i = 0; i < static_cast<unsigned>(range); ++i) l.lists.erase(list + i);
}

}  // namespace calls

}  // namespace gfx::gles3
