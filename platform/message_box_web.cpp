// Message boxes in a page: shown as a line on the page, which never blocks the show (the
// report has gone to the console already).
#include <emscripten.h>

#include "base/report.h"
#include "platform/message_box_display.h"

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

void message_box_display::show(const base::Report& entry) { oyun_show_message_line(base::reportLine(entry).c_str()); }

}  // namespace platform
