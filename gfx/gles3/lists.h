// Display lists: the calls of a list recorded as operations and run again by glCallList;
// the geometry of its glBegin/glEnd pairs compiled once into GPU buffers.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "gfx/gles3/assembly.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/draw.h"
#include "gfx/gles3/state.h"
#include "gfx/gles3/vertex.h"

namespace gfx::gles3 {

// Geometry of a list: one glBegin/glEnd, or several of one topology sent together (a sphere). Attributes the list had
// not given before a vertex come from the current values when the list runs: `colourless` counts the leading vertices
// without a colour of the list's own (0: all have one), and likewise for normals and coordinates.
struct Batch {
    Batch() = default;
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    std::vector<Span> spans;  // one per glBegin/glEnd, all of one topology
    std::vector<Vertex> vertices;
    std::size_t colourless = 0, normalless = 0, texCoordless = 0;
    StaticGeometry geometry;  // fill-mode assembly, when every attribute is all or nothing
    bool hasGeometry = false;
};

struct DisplayList {
    // Shared so that a list running keeps its operations while it deletes or recompiles itself.
    std::shared_ptr<std::vector<std::function<void()>>> operations;
};

struct Lists {
    std::map<unsigned, DisplayList> lists;  // every name genLists gave out, empty until compiled
    unsigned compiling = 0;
    Enum mode = 0;
    DisplayList building;
    // The attributes the list being compiled has given so far, with their last values.
    bool colourSet = false, normalSet = false, texCoordSet = false;
    Vec4 colour{};
    std::array<float, 3> normal{};
    Vec4 texCoord{};
    int nesting = 0;
};

bool compilingList();
bool recordOperation(std::function<void()> operation);

// While a list is compiled: appends `operation` to it (running it too in compile-and-execute
// mode) and returns true, so the caller does nothing more; false otherwise. Outside lists it
// costs a test, no allocation.
template <typename Operation>
bool recorded(Operation&& operation) {
    return compilingList() && recordOperation(std::function<void()>(std::forward<Operation>(operation)));
}

// Runs `change` now, or records it while a list is compiled; without a current context, neither.
template <typename Change>
void runOrRecord(Change change) {
    if (current() == nullptr) return;
    if (recorded(change)) return;
    change();
}
Lists& lists();

// Makes a list's batch from one glBegin/glEnd compiled into it.
std::shared_ptr<Batch> makeBatch(std::vector<Span> spans, std::vector<Vertex> vertices, std::size_t colourless,
                                 std::size_t normalless, std::size_t texCoordless);
void drawBatch(const Batch& batch);

}  // namespace gfx::gles3
