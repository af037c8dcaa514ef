// "log.htm": time-stamped HTML entries, appended one at a time, nothing kept open.
#pragma once

#include <ctime>
#include <string>

// Appends the time line and `text` (Windows-1254 bytes, written unchanged), each ended by CR LF.
void writeLog(const char* text);

// Where no one reads files (a web page) the log is also wanted elsewhere: from now on each entry,
// once written, also goes to `mirror` with its time line and text; null stops that.
using LogMirror = void (*)(const std::string& timeLine, const char* text);
void setLogMirror(LogMirror mirror);

// Deletes "log.htm"; a missing file is not an error.
void clearLog();

// Where the log goes: "log.htm" in the working directory; when no file can be made there,
// log.htm in the state folder ($XDG_STATE_HOME/oyun, else ~/.local/state/oyun), said once
// on stderr.
std::string logFilePath();
std::string logStateFolder();

// The 24-character time line, e.g. "Mon Dec 07 22:27:52 2026" (day zero-padded).
std::string formatLogTime(const std::tm& time);
