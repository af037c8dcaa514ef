// "log.htm" writer. Each entry opens, appends and closes the file, so every entry is on
// disk when writeLog returns.
#include "base/html_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/report.h"

namespace {

constexpr const char* kLogFile = "log.htm";
bool droppedReported = false;
LogMirror logMirror = nullptr;
bool movedReported = false;

// Whether a file can be made in the working directory, without leaving one behind.
bool workingDirectoryWritable() {
    const int probe = open(".", O_TMPFILE | O_WRONLY, 0600);
    if (probe >= 0) {
        close(probe);
        return true;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
    // A file system without unnamed files: make a named one and take it away again.
    char name[] = "./.oyun-probe-XXXXXX";
    const int named = mkstemp(name);
    if (named < 0) return false;
    close(named);
    unlink(name);
    return true;
}

}  // namespace

std::string logStateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::string(state) + "/oyun";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/state/oyun";
    return {};
}

std::string logFilePath() {
    if (workingDirectoryWritable()) return kLogFile;
    // Started from a menu or from a folder of the system: the log goes to the user's state
    // folder, and the program says so once.
    const std::string folder = logStateFolder();
    if (folder.empty()) return kLogFile;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string path = folder + "/" + kLogFile;
    if (!movedReported) {
        base::reportf(base::Level::kInfo, "this folder is not writable; the log goes to %s", path.c_str());
        movedReported = true;
    }
    return path;
}

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

void setLogMirror(LogMirror mirror) { logMirror = mirror; }

void writeLog(const char* text) {
    if (logMirror != nullptr) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        logMirror(formatLogTime(local), text != nullptr ? text : "");
    }
    const std::string path = logFilePath();
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    bool isNew = false;
    if (file == nullptr) {
        file = std::fopen(path.c_str(), "wb");
        isNew = true;
    }
    if (file == nullptr) {
        if (!droppedReported) {
            base::reportf(base::Level::kWarning, "cannot write %s (%s); log entries are dropped", path.c_str(),
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

void clearLog() { std::remove(logFilePath().c_str()); }
