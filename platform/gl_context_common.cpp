// Device contexts, the one pixel format, the kind of context asked for and the swap count,
// whatever makes the contexts.
#include <atomic>
#include <optional>
#include <string>

#include "base/report.h"
#include "platform/window_internal.h"

namespace platform {

namespace {
std::atomic<std::uint64_t> swaps{0};
std::optional<GlApi> wantedApi;
}  // namespace

void requestGlApi(GlApi api) { wantedApi = api; }

GlApi requestedGlApi() { return wantedApi.value_or(native::defaultGlApi()); }

DeviceContext getDeviceContext(WindowHandle window) {
    if (window == nullptr || window != liveWindow()) return nullptr;
    auto* deviceContext = new DeviceContextRecord;
    deviceContext->window = window;
    return deviceContext;
}

void releaseDeviceContext(WindowHandle /*window*/, DeviceContext deviceContext) { delete deviceContext; }

int choosePixelFormat(DeviceContext deviceContext, const PixelFormatDescriptor& descriptor) {
    if (deviceContext == nullptr) return 0;
    const std::uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if ((descriptor.flags & needed) != needed || descriptor.pixelType != PFD_TYPE_RGBA) return 0;
    // The one format windows are made with: RGBA, double-buffered, 16-bit depth.
    return 1;
}

bool setPixelFormat(DeviceContext deviceContext, int format, const PixelFormatDescriptor& /*descriptor*/) {
    if (deviceContext == nullptr || format != 1 || deviceContext->pixelFormat != 0) return false;
    deviceContext->pixelFormat = format;
    return true;
}

GlContext createGlContext(DeviceContext deviceContext) {
    std::string error;
    GlContext context = createGlContext(deviceContext, error);
    if (context == nullptr && !error.empty()) base::report(base::Level::kError, error);
    return context;
}

void countSwap() { ++swaps; }

std::uint64_t swapCount() { return swaps.load(); }

}  // namespace platform
