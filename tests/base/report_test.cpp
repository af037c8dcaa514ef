// Our diagnostics and command lines: the line each report becomes, the sink tests swap, and
// the answers every program gives to --help, --version and a wrong command line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "base/report.h"
#include "tests/support/command_line_run.h"
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
        {{"--bogus"}, 2, "unknown option --bogus"},
        {{"stray"}, 2, "unexpected argument stray"},
        {{"--data"}, 2, "--data: needs a value"},
        // An option is never taken for a path.
        {{"--data", "--window"}, 2, "--data: needs a value, not the option --window"},
        {{"--data=-"}, std::nullopt, ""},
        {{"--from", "soon"}, 2, "--from: 'soon' is not a number of milliseconds from 0 to 1000000"},
    };
    struct Options {
        std::string data;
        bool window = false;
        int from = 0;
    };
    for (const CommandLineCase& test : cases) {
        const auto parsed = testing_support::parseCommandLineOf<Options>(
            "oyun", test.arguments, [](int argc, char** argv, Options& options) {
                CLI::App app{"test program"};
                base::prepareCommandLine(app);
                app.add_option("--data", options.data, "data folder")->check(base::kNotAnOption);
                app.add_flag("--window", options.window, "windowed");
                app.add_option("--from", options.from, "start")
                    ->transform(base::wholeNumber(0, 1000000, "milliseconds"));
                return base::parseCommandLine(app, argc, argv);
            });
        const std::optional<int> status = parsed.status;
        const std::string& printed = parsed.out;
        // A wrong command line is followed by the usage.
        if (status == 2) {
            EXPECT_NE(parsed.err.find("Usage: oyun"), std::string::npos) << parsed.err;
        }
        const std::string line = test.arguments.empty() ? "" : test.arguments[0];
        EXPECT_EQ(status, test.status) << line;
        if (test.report.empty()) {
            EXPECT_EQ(parsed.error, "") << line;
        } else {
            EXPECT_NE(parsed.error.find(test.report), std::string::npos) << parsed.error;
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
