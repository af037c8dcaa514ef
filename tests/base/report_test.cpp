// Our diagnostics and command lines: the line each report becomes, the sink tests swap, and
// the answers every program gives to --help, --version and a wrong command line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "base/report.h"
#include "tests/support/output_capture.h"
#include "tests/support/report_capture.h"

namespace {

using testing_support::OutputCapture;
using testing_support::ReportCapture;

TEST(Report, LinesCarryTheProgramsNameAndBoxesTheirCaption) {
    base::setProgramName("oyun-viewer");
    EXPECT_EQ(base::reportLine({base::Level::kError, "cannot load model m.txt", false, {}}),
              "oyun-viewer: cannot load model m.txt\n");
    EXPECT_EQ(base::reportLine({base::Level::kInfo, "Could not open texture file", true, "ERROR"}),
              "ERROR: Could not open texture file\n");
    base::setProgramName("oyun");
}

TEST(Report, FormattedTextOfAnyLengthArrivesWhole) {
    ReportCapture captured;
    const std::string longName(5000, 'x');
    base::reportf(base::Level::kWarning, "no font for \"%s\" (%d)", longName.c_str(), 7);
    base::reportf(base::Level::kInfo, "%s", "");
    ASSERT_EQ(captured.reports.size(), 2u);
    EXPECT_EQ(captured.reports[0].text, "no font for \"" + longName + "\" (7)");
    EXPECT_EQ(captured.reports[0].level, base::Level::kWarning);
    EXPECT_FALSE(captured.reports[0].box);
    EXPECT_EQ(captured.reports[1].text, "");
}

TEST(Report, ScopedSinksNestAndForwardToTheOneBefore) {
    ReportCapture outer;
    EXPECT_TRUE(base::reportSinkReplaced());
    {
        std::vector<std::string> inner;
        base::ScopedReportSink* self = nullptr;
        base::ScopedReportSink sink([&](const base::Report& entry) {
            inner.push_back(entry.text);
            if (entry.level == base::Level::kError) self->forward(entry);
        });
        self = &sink;
        base::report(base::Level::kInfo, "kept inside");
        base::report(base::Level::kError, "passed on");
        EXPECT_EQ(inner, (std::vector<std::string>{"kept inside", "passed on"}));
    }
    base::report(base::Level::kInfo, "after");
    ASSERT_EQ(outer.reports.size(), 2u);
    EXPECT_EQ(outer.reports[0].text, "passed on");
    EXPECT_EQ(outer.reports[1].text, "after");
}

// The default sink, as stderr shows it.
TEST(Report, WithoutASinkEachReportIsOneLineOnStderr) {
    EXPECT_FALSE(base::reportSinkReplaced());
    OutputCapture err(STDERR_FILENO);
    base::setProgramName("oyun-capture");
    base::report(base::Level::kError, "no data folder at /nowhere");
    base::setProgramName("oyun");
    EXPECT_EQ(err.text(), "oyun-capture: no data folder at /nowhere\n");
}

struct CommandLineCase {
    std::vector<std::string> arguments;
    std::optional<int> status;  // nothing: the program goes on
    std::string report;         // the diagnostic, when there is one
};

TEST(CommandLine, HelpVersionAndWrongArgumentsAreAnsweredAlike) {
    const std::vector<CommandLineCase> cases = {
        {{}, std::nullopt, ""},
        {{"--data", "d", "--window"}, std::nullopt, ""},
        {{"--help"}, 0, ""},
        {{"-h"}, 0, ""},
        {{"--version"}, 0, ""},
        {{"--bogus"}, 2, "The following argument was not expected: --bogus"},
        {{"stray"}, 2, "The following argument was not expected: stray"},
        {{"--data"}, 2, "--data: 1 required TEXT missing"},
        // An option is never taken for a path.
        {{"--data", "--window"}, 2, "--data: needs a value, not the option --window"},
        {{"--data=-"}, std::nullopt, ""},
        {{"--from", "soon"}, 2, "--from: Value soon not in range 0 to 1000000"},
    };
    for (const CommandLineCase& test : cases) {
        ReportCapture captured;
        CLI::App app{"test program"};
        base::prepareCommandLine(app);
        std::string data;
        bool window = false;
        int from = 0;
        app.add_option("--data", data, "data folder")->check(base::kNotAnOption);
        app.add_flag("--window", window, "windowed");
        app.add_option("--from", from, "start")->check(CLI::Range(0, 1000000));
        std::vector<std::string> words = {"oyun"};
        words.insert(words.end(), test.arguments.begin(), test.arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        std::optional<int> status;
        std::string printed;
        std::string warned;
        {
            OutputCapture out(STDOUT_FILENO);
            OutputCapture err(STDERR_FILENO);
            status = base::parseCommandLine(app, static_cast<int>(argv.size()), argv.data());
            printed = out.text();
            warned = err.text();
        }
        // A wrong command line is followed by the usage.
        if (status == 2) {
            EXPECT_NE(warned.find("Usage: oyun"), std::string::npos) << warned;
        }
        const std::string line = test.arguments.empty() ? "" : test.arguments[0];
        EXPECT_EQ(status, test.status) << line;
        if (test.report.empty()) {
            EXPECT_TRUE(captured.reports.empty()) << line;
        } else {
            ASSERT_EQ(captured.reports.size(), 1u) << line;
            EXPECT_NE(captured.reports[0].text.find(test.report), std::string::npos) << captured.reports[0].text;
        }
        if (line == "--version") {
            EXPECT_EQ(printed, base::versionLine() + "\n");
        }
        if (line == "--help") {
            EXPECT_NE(printed.find("--window"), std::string::npos) << printed;
        }
    }
}

}  // namespace
