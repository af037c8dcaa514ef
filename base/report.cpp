#include "base/report.h"

#include <cstdarg>
#include <mutex>
#include <vector>

namespace base {

namespace {

std::string& nameStorage() {
    static std::string name = "oyun";
    return name;
}

ReportSink& sinkStorage() {
    static ReportSink sink;
    return sink;
}

// Reports may come from worker threads (the music decoder): one at a time reaches the sink.
std::recursive_mutex& sinkLock() {
    static std::recursive_mutex lock;
    return lock;
}

void writeToStderr(const Report& entry) {
    const std::string line = reportLine(entry);
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

void setProgramName(std::string_view name) { nameStorage().assign(name); }

const std::string& programName() { return nameStorage(); }

std::string reportLine(const Report& entry) {
    std::string line = entry.box ? entry.caption : programName();
    line += ": ";
    line += entry.text;
    line += '\n';
    return line;
}

void report(const Report& entry) {
    const std::lock_guard<std::recursive_mutex> guard(sinkLock());
    if (sinkStorage())
        sinkStorage()(entry);
    else
        writeToStderr(entry);
}

void report(Level level, std::string_view text) { report(Report{level, std::string(text), false, {}}); }

void reportf(Level level, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    report(level, std::string_view(text.data(), length > 0 ? static_cast<std::size_t>(length) : 0));
}

bool reportSinkReplaced() {
    const std::lock_guard<std::recursive_mutex> guard(sinkLock());
    return static_cast<bool>(sinkStorage());
}

void ScopedReportSink::forward(const Report& entry) const {
    if (previous_)
        previous_(entry);
    else
        writeToStderr(entry);
}

ReportSink setReportSink(ReportSink sink) {
    const std::lock_guard<std::recursive_mutex> guard(sinkLock());
    ReportSink previous = std::move(sinkStorage());
    sinkStorage() = std::move(sink);
    return previous;
}

}  // namespace base
