// "log.htm" writer. Each entry opens, appends and closes the file, so every entry is on
// disk when writeLog returns.
#include "base/html_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/report.h"

namespace {

constexpr const char* kLogFile = "log.htm";
bool droppedReported = false;

}  // namespace

std::string formatLogTime(const std::tm& time) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int day = time.tm_wday >= 0 && time.tm_wday < 7 ? time.tm_wday : 0;
    const int month = time.tm_mon >= 0 && time.tm_mon < 12 ? time.tm_mon : 0;
    char line[64];
    std::snprintf(line, sizeof line, "%.3s %.3s %02d %02d:%02d:%02d %04d", kDays[day], kMonths[month],
                  time.tm_mday % 100, time.tm_hour % 100, time.tm_min % 100, time.tm_sec % 100,
                  (time.tm_year + 1900) % 10000);
    return line;
}

void writeLog(const char* text) {
    std::FILE* file = std::fopen(kLogFile, "r+b");
    bool isNew = false;
    if (file == nullptr) {
        file = std::fopen(kLogFile, "wb");
        isNew = true;
    }
    if (file == nullptr) {
        if (!droppedReported) {
            base::reportf(base::Level::kWarning, "cannot write %s (%s); log entries are dropped", kLogFile,
                          std::strerror(errno));
            droppedReported = true;
        }
        return;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    if (!isNew) std::fseek(file, 0, SEEK_END);
    const std::string timeLine = formatLogTime(local);
    std::fputs(timeLine.c_str(), file);
    std::fputs("\r\n", file);
    if (text != nullptr) std::fputs(text, file);
    std::fputs("\r\n", file);
    std::fclose(file);
}

void clearLog() { std::remove(kLogFile); }
