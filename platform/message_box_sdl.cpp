// Message boxes: stderr always, a real box only where a display can show one.
#include <cstdio>

#include "platform/message_box.h"
#include "platform/sdl_internal.h"

namespace platform {

namespace {
MessageBoxSink sink;
}

void setMessageBoxSink(MessageBoxSink newSink) { sink = std::move(newSink); }

void messageBox(const char* text, const char* caption, std::uint32_t style) {
    const std::string textBytes = text != nullptr ? text : "";
    const std::string captionBytes = caption != nullptr ? caption : "";
    if (sink) {
        sink(captionBytes, textBytes, style);
        return;
    }
    const std::string captionUtf8 = cp1254ToUtf8(captionBytes);
    const std::string textUtf8 = cp1254ToUtf8(textBytes);
    std::fprintf(stderr, "%s: %s\n", captionUtf8.c_str(), textUtf8.c_str());
    std::fflush(stderr);
    if (!hasVisibleDisplay()) return;
    const Uint32 flags = (style & MB_ICONWARNING) == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING : 0;
    SDL_ShowSimpleMessageBox(flags, captionUtf8.c_str(), textUtf8.c_str(), nullptr);
}

}  // namespace platform
