#include "base/html_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "tests/support/report_capture.h"
#include "tests/support/temp_dir.h"

using testing_support::readFileBytes;
using testing_support::TempWorkingDir;
using testing_support::writeFileBytes;

namespace {

const std::regex kTimeLine("[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}");

TEST(HtmlLog, FirstEntryCreatesTheFileWithOneTimeLineAndOneText) {
    TempWorkingDir dir;
    const std::string text = "<b>Pencere yaratildi.</b><br>";
    writeLog(text.c_str());
    const std::string bytes = readFileBytes("log.htm");
    ASSERT_EQ(bytes.size(), 24u + 2 + text.size() + 2);
    EXPECT_TRUE(std::regex_match(bytes.substr(0, 24), kTimeLine)) << bytes.substr(0, 24);
    EXPECT_EQ(bytes.substr(24), "\r\n<b>Pencere yaratildi.</b><br>\r\n");
}

TEST(HtmlLog, AppendsAfterTheLastByteWhateverItIs) {
    TempWorkingDir dir;
    writeFileBytes("log.htm", "no line end");
    writeLog("x");
    const std::string bytes = readFileBytes("log.htm");
    ASSERT_EQ(bytes.size(), 11u + 24 + 2 + 1 + 2);
    EXPECT_EQ(bytes.substr(0, 11), "no line end");
    EXPECT_TRUE(std::regex_match(bytes.substr(11, 24), kTimeLine));
    EXPECT_EQ(bytes.substr(35), "\r\nx\r\n");
}

TEST(HtmlLog, WritesCodePageBytesUnchangedAndEscapesNothing) {
    TempWorkingDir dir;
    const std::string text =
        "<b>Pencere s\xFDn\xFD"
        "f kayd\xFD yap\xFDlamad\xFD.</b><br> & < \x80\xFF";
    writeLog(text.c_str());
    writeLog(text.c_str());
    const std::string bytes = readFileBytes("log.htm");
    const std::size_t entry = 24 + 2 + text.size() + 2;
    ASSERT_EQ(bytes.size(), 2 * entry);
    EXPECT_EQ(bytes.substr(26, text.size()), text);
    EXPECT_EQ(bytes.substr(entry + 26, text.size()), text);
}

TEST(HtmlLog, TimeLinePadsTheDayWithAZero) {
    std::tm time{};
    time.tm_wday = 1;
    time.tm_mon = 11;
    time.tm_mday = 7;
    time.tm_hour = 9;
    time.tm_min = 5;
    time.tm_sec = 3;
    time.tm_year = 2026 - 1900;
    EXPECT_EQ(formatLogTime(time), "Mon Dec 07 09:05:03 2026");
    time.tm_wday = 0;
    time.tm_mon = 0;
    time.tm_mday = 31;
    time.tm_hour = 23;
    EXPECT_EQ(formatLogTime(time), "Sun Jan 31 23:05:03 2026");
}

TEST(HtmlLog, ClearLogRemovesTheFileAndIgnoresAMissingOne) {
    TempWorkingDir dir;
    clearLog();
    EXPECT_FALSE(std::filesystem::exists("log.htm"));
    writeLog("a");
    clearLog();
    EXPECT_FALSE(std::filesystem::exists("log.htm"));
    writeLog("b");
    EXPECT_EQ(readFileBytes("log.htm").substr(24), "\r\nb\r\n");
}

TEST(HtmlLog, AnUnwritableLogDropsEntriesWithOneNote) {
    TempWorkingDir dir;
    std::filesystem::create_directory("log.htm");  // neither "r+" nor "w" can open it
    testing_support::ReportCapture captured;
    writeLog("a");
    writeLog("b");
    const std::string err = captured.written();
    EXPECT_TRUE(std::filesystem::is_directory("log.htm"));
    // One note, however many entries are dropped.
    const auto first = err.find("log.htm");
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find("log.htm", first + 1), std::string::npos) << err;
}

std::vector<std::string> mirrored;

void mirror(const std::string& timeLine, const char* text) { mirrored.push_back(timeLine + "|" + text); }

TEST(HtmlLog, AMirrorGetsEveryEntryWrittenOrNotUntilItIsTakenAway) {
    TempWorkingDir dir;
    mirrored.clear();
    setLogMirror(mirror);
    writeLog("<b>one</b>");
    std::filesystem::create_directory("log.htm.d");
    std::filesystem::remove("log.htm");
    std::filesystem::rename("log.htm.d", "log.htm");  // the file cannot be written from now on
    testing_support::ReportCapture captured;
    writeLog(nullptr);
    setLogMirror(nullptr);
    writeLog("after");
    ASSERT_EQ(mirrored.size(), 2u);
    EXPECT_TRUE(std::regex_match(mirrored[0].substr(0, 24), kTimeLine)) << mirrored[0];
    EXPECT_EQ(mirrored[0].substr(24), "|<b>one</b>");
    EXPECT_EQ(mirrored[1].substr(24), "|");
}

TEST(HtmlLog, WhereNoFileCanBeMadeTheLogGoesToTheStateFolderSaidOnce) {
    TempWorkingDir dir;
    const std::string state = std::filesystem::current_path().string() + "/state";
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    testing_support::ReportCapture captured;
    // Not writable even for root.
    std::filesystem::current_path("/proc");
    clearLog();
    writeLog("a");
    writeLog("b");
    EXPECT_EQ(logFilePath(), state + "/oyun/log.htm");
    const std::string log = readFileBytes(state + "/oyun/log.htm");
    EXPECT_EQ(log.size(), 2 * (24 + 2 + 1 + 2)) << log;
    ASSERT_EQ(captured.reports.size(), 1u) << captured.written();
    EXPECT_EQ(captured.reports[0].text, "this folder is not writable; the log goes to " + state + "/oyun/log.htm");

    // A writable folder keeps its own log, as always.
    std::filesystem::current_path(state);
    writeLog("c");
    EXPECT_EQ(logFilePath(), "log.htm");
    EXPECT_TRUE(std::filesystem::exists(state + "/log.htm"));
}

TEST(HtmlLog, TheStateFolderDefaultsToTheHomesLocalState) {
    unsetenv("XDG_STATE_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(logStateFolder(), "/home/someone/.local/state/oyun");
    // A relative XDG_STATE_HOME is to be ignored.
    setenv("XDG_STATE_HOME", "relative/state", 1);
    EXPECT_EQ(logStateFolder(), "/home/someone/.local/state/oyun");
    setenv("XDG_STATE_HOME", "/var/state", 1);
    EXPECT_EQ(logStateFolder(), "/var/state/oyun");
}

}  // namespace
