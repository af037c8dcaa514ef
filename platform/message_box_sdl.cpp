// Message boxes: their text is always reported, and a real box is shown only where a display
// can show one and the reports go to the terminal (not to a test or the capture).
#include "base/report.h"
#include "platform/message_box.h"
#include "platform/sdl_internal.h"

namespace platform {

void messageBox(const char* text, const char* caption, std::uint32_t style) {
    const bool warning = (style & MB_ICONWARNING) == MB_ICONWARNING;
    base::Report entry;
    entry.level = warning ? base::Level::kWarning : base::Level::kInfo;
    entry.box = true;
    entry.caption = cp1254ToUtf8(caption != nullptr ? caption : "");
    entry.text = cp1254ToUtf8(text != nullptr ? text : "");
    const bool intercepted = base::reportSinkReplaced();
    base::report(entry);
    if (intercepted || !hasVisibleDisplay()) return;
    const Uint32 flags = warning ? SDL_MESSAGEBOX_WARNING : 0;
    SDL_ShowSimpleMessageBox(flags, entry.caption.c_str(), entry.text.c_str(), nullptr);
}

}  // namespace platform
