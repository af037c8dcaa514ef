// Buffer objects and the vertex array drawn from them.
#include <cstring>

#include "gfx/gles3/assembly.h"
#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/draw.h"
#include "gfx/gles3/gl.h"
#include "gfx/gles3/immediate.h"
#include "gfx/gles3/lists.h"

namespace gfx::gles3::calls {

namespace {

// glDrawArrays in a list takes the array's vertices when the list is compiled.
void compileArrays(Enum mode, int first, int count) {
    const ClientState& client = current()->client;
    if (!client.vertexArray || count <= 0 || client.vertexType != kFloat) return;
    std::vector<Vertex> vertices(static_cast<std::size_t>(count));
    const std::uint8_t* base = nullptr;
    std::size_t available = SIZE_MAX;
    std::size_t start = 0;
    if (client.vertexBuffer != 0) {
        const auto& data = current()->buffers[client.vertexBuffer];
        base = data.data();
        available = data.size();
        start = client.vertexOffset;
    } else {
        base = reinterpret_cast<const std::uint8_t*>(client.vertexOffset);
    }
    const std::size_t size = static_cast<std::size_t>(client.vertexSize) * sizeof(float);
    const std::size_t stride = client.vertexStride != 0 ? static_cast<std::size_t>(client.vertexStride) : size;
    if (base == nullptr || start + (static_cast<std::size_t>(first + count) - 1) * stride + size > available) return;
    for (int i = 0; i < count; ++i) {
        float p[4] = {0, 0, 0, 1};
        std::memcpy(p, base + start + static_cast<std::size_t>(first + i) * stride, size);
        for (int k = 0; k < 3; ++k) vertices[static_cast<std::size_t>(i)].position[k] = p[k];
    }
    const auto n = static_cast<std::size_t>(count);
    drawPrimitives({{mode, 0, n}}, std::move(vertices), false, false, false);
}

}  // namespace

void vertexPointer(int size, Enum type, int stride, const void* pointer) {
    Context* c = current();
    if (c == nullptr) return;
    if (size < 2 || size > 4 || stride < 0) return setError(kInvalidValue);
    if (type != kFloat) unsupported("vertex array type", type);
    ClientState& client = c->client;
    client.vertexSize = size;
    client.vertexType = type;
    client.vertexStride = stride;
    client.vertexOffset = reinterpret_cast<std::uintptr_t>(pointer);
    client.vertexBuffer = client.arrayBuffer;
}

void enableClientState(Enum array) {
    Context* c = current();
    if (c == nullptr) return;
    if (array == kVertexArray)
        c->client.vertexArray = true;
    else
        unsupported("client array", array);
}

void disableClientState(Enum array) {
    Context* c = current();
    if (c == nullptr) return;
    if (array == kVertexArray) c->client.vertexArray = false;
}

void drawArrays(Enum mode, int first, int count) {
    if (current() == nullptr) return;
    if (compilingList()) {
        if (mode <= kPolygon && first >= 0 && count >= 0) compileArrays(mode, first, count);
        return;
    }
    drawClientArrays(mode, first, count);
}

void genBuffers(int count, unsigned* names) {
    if (current() == nullptr) return;
    if (count < 0) return setError(kInvalidValue);
    glGenBuffers(count, names);
}

void bindBuffer(Enum target, unsigned name) {
    Context* c = current();
    if (c == nullptr) return;
    if (target != kArrayBuffer) return setError(kInvalidEnum);
    c->client.arrayBuffer = name;
}

void bufferData(Enum target, std::ptrdiff_t size, const void* data, Enum usage) {
    Context* c = current();
    if (c == nullptr) return;
    if (target != kArrayBuffer) return setError(kInvalidEnum);
    if (size < 0) return setError(kInvalidValue);
    if (c->client.arrayBuffer == 0) return setError(kInvalidOperation);
    glBindBuffer(GL_ARRAY_BUFFER, c->client.arrayBuffer);
    glBufferData(GL_ARRAY_BUFFER, size, data, usage);
    forgetBoxes(c->client.arrayBuffer);
    std::vector<std::uint8_t>& copy = c->buffers[c->client.arrayBuffer];
    copy.assign(static_cast<std::size_t>(size), 0);
    if (data != nullptr && size > 0) std::memcpy(copy.data(), data, static_cast<std::size_t>(size));
}

void deleteBuffers(int count, const unsigned* names) {
    Context* c = current();
    if (c == nullptr) return;
    if (count < 0) return setError(kInvalidValue);
    for (int i = 0; i < count; ++i) {
        forgetBoxes(names[i]);
        c->gpu->lineEnds.remove(names[i]);
        c->buffers.erase(names[i]);
        if (c->client.arrayBuffer == names[i]) c->client.arrayBuffer = 0;
        if (c->client.vertexBuffer == names[i]) c->client.vertexBuffer = 0;
    }
    glDeleteBuffers(count, names);
}

}  // namespace gfx::gles3::calls
