// Our own diagnostics: one line each, "program: message" on stderr, through one sink that
// tests can swap. A message box that no display can show arrives here too, with its
// caption, and is written as "caption: text" as the show always has.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace base {

enum class Level { kInfo, kWarning, kError };

struct Report {
    Level level = Level::kError;
    std::string text;     // UTF-8
    bool box = false;     // a message box rather than one of our own diagnostics
    std::string caption;  // the box's caption
};

// Set once by each main, e.g. "oyun-capture"; "oyun" until then.
void setProgramName(std::string_view name);
const std::string& programName();

// Hands the report to the sink: stderr unless a test has put another in place.
void report(const Report& entry);
void report(Level level, std::string_view text);
// printf-style text.
void reportf(Level level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The line the default sink writes, newline included.
std::string reportLine(const Report& entry);

using ReportSink = std::function<void(const Report&)>;
// Replaces the sink; an empty function restores stderr. Returns the one it replaced.
ReportSink setReportSink(ReportSink sink);

// True while a sink other than stderr is in place.
bool reportSinkReplaced();

// Puts a sink in place for its lifetime, then restores the one before.
class ScopedReportSink {
public:
    explicit ScopedReportSink(ReportSink sink) : previous_(setReportSink(std::move(sink))) {}
    ~ScopedReportSink() { setReportSink(std::move(previous_)); }
    // Hands a report on to the sink that was in place before.
    void forward(const Report& entry) const;
    ScopedReportSink(const ScopedReportSink&) = delete;
    ScopedReportSink& operator=(const ScopedReportSink&) = delete;

private:
    ReportSink previous_;
};

}  // namespace base
