// The OpenGL side of a window: device context, pixel format, rendering context, swap.
// Stands in for GDI and WGL; contexts are compatibility (fixed-function) or OpenGL ES 3.0 ones.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window.h"

namespace platform {

struct DeviceContextRecord;
using DeviceContext = DeviceContextRecord*;
struct GlContextRecord;
using GlContext = GlContextRecord*;

constexpr std::uint32_t PFD_DOUBLEBUFFER = 0x1;
constexpr std::uint32_t PFD_DRAW_TO_WINDOW = 0x4;
constexpr std::uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr std::uint8_t PFD_TYPE_RGBA = 0;
constexpr std::uint8_t PFD_MAIN_PLANE = 0;

struct PixelFormatDescriptor {
    std::uint16_t size = 40;
    std::uint16_t version = 1;
    std::uint32_t flags = 0;
    std::uint8_t pixelType = PFD_TYPE_RGBA;
    std::uint8_t colourBits = 0;
    std::uint8_t alphaBits = 0;
    std::uint8_t accumBits = 0;
    std::uint8_t depthBits = 0;
    std::uint8_t stencilBits = 0;
    std::uint8_t auxBuffers = 0;
    std::uint8_t layerType = PFD_MAIN_PLANE;
};

DeviceContext getDeviceContext(WindowHandle window);
void releaseDeviceContext(WindowHandle window, DeviceContext deviceContext);

// 0 when nothing close to the descriptor can be offered.
int choosePixelFormat(DeviceContext deviceContext, const PixelFormatDescriptor& descriptor);
bool setPixelFormat(DeviceContext deviceContext, int format, const PixelFormatDescriptor& descriptor);

// Null after one reported line when the driver gives no context of the requested kind.
GlContext createGlContext(DeviceContext deviceContext);
// The same, with the line in `error` instead of a report: "cannot create an OpenGL context: …",
// or "no OpenGL ES 3.0 context: …" when ES 3.0 was requested.
GlContext createGlContext(DeviceContext deviceContext, std::string& error);

// Vertical sync of the contexts made from now on: adaptive where the driver offers it (a late
// frame is shown at once rather than a whole refresh later), else plain; or none, for
// benchmarks. On by default.
void setVsyncWanted(bool wanted);

// The kind of context windows are made with from now on: a compatibility context (fixed
// function, the default) or OpenGL ES 3.0 (or WebGL 2).
enum class GlApi { kCompatibility, kEs3 };
void requestGlApi(GlApi api);
GlApi requestedGlApi();
// A null context releases the current one.
bool makeCurrent(DeviceContext deviceContext, GlContext context);
void deleteGlContext(GlContext context);

void swapBuffers(DeviceContext deviceContext);
// Buffer swaps since the program started; lets tests and benchmarks count frames.
std::uint64_t swapCount();

}  // namespace platform
