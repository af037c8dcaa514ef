#include "web/page_bridge.h"

#include <emscripten.h>

#include <string>

#include "base/html_log.h"
#include "base/report.h"
#include "platform/message_box.h"

namespace page {

namespace {

// JavaScript inside C++: not for clang-format.
// clang-format off
EM_JS(void, oyun_console_line, (int level, const char* line), {
    var text = UTF8ToString(line);
    if (level === 2) console.error(text);
    else if (level === 1) console.warn(text);
    else console.log(text);
});

EM_JS(void, oyun_page_event, (const char* name), {
    if (Module.oyunPage && Module.oyunPage.onShowEvent) Module.oyunPage.onShowEvent(UTF8ToString(name));
});

EM_JS(void, oyun_page_frame, (int elapsed), {
    if (Module.oyunPage && Module.oyunPage.onShowFrame) Module.oyunPage.onShowFrame(elapsed);
});

EM_JS(void, oyun_page_draw_time, (double ms), {
    if (Module.oyunPage && Module.oyunPage.onDrawTime) Module.oyunPage.onDrawTime(ms);
});

/* The page calls the function it is given when "play again" is pressed. */
EM_JS(void, oyun_page_wait_for_play_again, (), {
    Asyncify.handleSleep(function(wakeUp) { Module.oyunPage.waitForPlayAgain(wakeUp); });
});
// clang-format on

void consoleSink(const base::Report& entry) {
    std::string line = base::reportLine(entry);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    oyun_console_line(static_cast<int>(entry.level), line.c_str());
}

// The entry's text without its HTML, in UTF-8.
void consoleLog(const std::string& timeLine, const char* text) {
    std::string plain;
    bool inTag = false;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '<') inTag = true;
        if (!inTag && *c != '\r' && *c != '\n') plain += *c;
        if (*c == '>') inTag = false;
    }
    const std::string line = "log.htm " + timeLine + ": " + platform::cp1254ToUtf8(plain);
    oyun_console_line(0, line.c_str());
}

}  // namespace

void sendReportsToConsole() {
    base::setReportSink(consoleSink);
    setLogMirror(consoleLog);
}

void tell(const char* event) { oyun_page_event(event); }

void noteFrame(std::int32_t elapsedShowMs) { oyun_page_frame(elapsedShowMs); }

void noteDrawTime(double milliseconds) { oyun_page_draw_time(milliseconds); }

void waitForPlayAgain() { oyun_page_wait_for_play_again(); }

}  // namespace page
