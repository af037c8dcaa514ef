// Read-back and the end of a frame's commands. The ES context reads RGBA bytes only (as
// WebGL 2 does); other formats and the pack alignment are made on the CPU.
#include <vector>

#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/gl.h"
#include "gfx/gles3/pixels.h"

namespace gfx::gles3::calls {

void readBuffer(Enum buffer) {
    if (current() == nullptr) return;
    glReadBuffer(buffer);
}

void readPixels(int x, int y, int width, int height, Enum format, Enum type, void* pixels) {
    Context* c = current();
    if (c == nullptr) return;
    if (width < 0 || height < 0) return setError(kInvalidValue);
    if (type != kUnsignedByte || (format != kRgb && format != kBgr && format != kRgba && format != kBgra)) {
        unsupported("read-back format", format);
        return setError(kInvalidEnum);
    }
    if (width == 0 || height == 0) return;
    const PixelStore& pack = c->client.pack;
    if (format == kRgba && packedRowBytes(width, format, pack) == static_cast<std::size_t>(width) * 4) {
        glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        return;
    }
    std::vector<std::uint8_t>& rgba = c->readback;
    rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    packPixels(rgba.data(), width, height, format, pack, pixels);
}

void flush() {
    if (current() != nullptr) glFlush();
}

void finish() {
    if (current() != nullptr) glFinish();
}

}  // namespace gfx::gles3::calls
