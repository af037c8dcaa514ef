// Message boxes reported as every platform reports them, then shown as the platform shows
// them, unless a sink has taken the reports.
#include "base/report.h"
#include "platform/message_box.h"
#include "platform/message_box_display.h"

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
    if (!intercepted) message_box_display::show(entry);
}

}  // namespace platform
