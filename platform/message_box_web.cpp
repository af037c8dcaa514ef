// Message boxes in a page: reported as everywhere (the console), and shown as a line on the
// page, which never blocks the show.
#include <emscripten.h>

#include "base/report.h"
#include "platform/message_box.h"

namespace platform {

namespace {

// The page shows the line where it keeps its messages (Module.oyunShowMessage); a page
// without one has the console alone. (JavaScript: not for clang-format.)
// clang-format off
EM_JS(void, oyun_show_message_line, (const char* line), {
    if (typeof Module.oyunShowMessage === "function") Module.oyunShowMessage(UTF8ToString(line));
});
// clang-format on

}  // namespace

void messageBox(const char* text, const char* caption, std::uint32_t style) {
    const bool warning = (style & MB_ICONWARNING) == MB_ICONWARNING;
    base::Report entry;
    entry.level = warning ? base::Level::kWarning : base::Level::kInfo;
    entry.box = true;
    entry.caption = cp1254ToUtf8(caption != nullptr ? caption : "");
    entry.text = cp1254ToUtf8(text != nullptr ? text : "");
    const bool intercepted = base::reportSinkReplaced();
    base::report(entry);
    if (!intercepted) oyun_show_message_line(base::reportLine(entry).c_str());
}

}  // namespace platform
