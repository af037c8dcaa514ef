// The shared command line: every refusal is one line in our words, whatever CLI11 found wrong.
#include "base/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/command_line_run.h"

namespace {

struct Options {
    std::uint32_t fromMs = 0;
    std::string data;
    bool window = false;
    std::vector<std::string> only;
    std::vector<int> jobs;
    std::string format = "mp4";
};

// A program with options of each kind the programs have.
std::optional<int> parseExample(int argc, char** argv, Options& options) {
    CLI::App app{"An example"};
    base::prepareCommandLine(app);
    app.add_option("--from", options.fromMs, "Start")
        ->type_name("MS")
        ->transform(base::wholeNumber(0, 86400000, "milliseconds"));
    app.add_option("--data", options.data, "Folder")->check(base::kNotAnOption);
    app.add_flag("--window", options.window, "Windowed");
    app.add_option("--only", options.only, "Parts")->delimiter(',')->check(base::oneOf({"scenes", "capture"}));
    app.add_option("--jobs", options.jobs, "Counts")->delimiter(',')->transform(base::wholeNumber(1, 256));
    app.add_option("--format", options.format, "Format")->check(base::oneOf({"mp4", "mkv", "webm"}));
    return base::parseCommandLine(app, argc, argv);
}

testing_support::ParsedCommandLine<Options> parse(const std::vector<std::string>& arguments) {
    return testing_support::parseCommandLineOf<Options>("oyun-example", arguments, parseExample);
}

TEST(CommandLine, GoodValuesAreTaken) {
    const auto p = parse({"--from", "0065000", "--data=d", "--window", "--only", "capture,scenes", "--jobs", "1,256",
                          "--format", "webm"});
    ASSERT_EQ(p.status, std::nullopt) << p.error;
    EXPECT_EQ(p.options.fromMs, 65000u) << "leading zeros make no octal number";
    EXPECT_EQ(p.options.data, "d");
    EXPECT_TRUE(p.options.window);
    EXPECT_EQ(p.options.only, (std::vector<std::string>{"capture", "scenes"}));
    EXPECT_EQ(p.options.jobs, (std::vector<int>{1, 256}));
    EXPECT_EQ(p.options.format, "webm");
    EXPECT_EQ(p.out + p.err, "");
    EXPECT_EQ(parse({"--from", "86400000"}).status, std::nullopt);
}

TEST(CommandLine, EachRefusalIsOneLineInOurWords) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--from", "abc"}, "--from: 'abc' is not a number of milliseconds from 0 to 86400000"},
        {{"--from", "-5"}, "--from: '-5' is not a number of milliseconds from 0 to 86400000"},
        {{"--from", "1.5"}, "--from: '1.5' is not a number of milliseconds from 0 to 86400000"},
        {{"--from", "86400001"}, "--from: '86400001' is not a number of milliseconds from 0 to 86400000"},
        {{"--from", "99999999999999999999999"},
         "--from: '99999999999999999999999' is not a number of milliseconds from 0 to 86400000"},
        {{"--from", ""}, "--from: '' is not a number of milliseconds from 0 to 86400000"},
        {{"--from"}, "--from: needs a value"},
        {{"--from="}, "--from: needs a value"},
        {{"--from", "5", "--from", "6"}, "--from: takes at most one value, not 2"},
        {{"--jobs", "2,0"}, "--jobs: '0' is not a whole number from 1 to 256"},
        {{"--only", "nope"}, "--only: 'nope' is not one of scenes or capture"},
        {{"--format", "avi"}, "--format: 'avi' is not one of mp4, mkv or webm"},
        {{"--data", "--window"}, "--data: needs a value, not the option --window"},
        {{"--window=maybe"}, "--window: takes no value, not 'maybe'"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"--bogus", "-x"}, "unknown options --bogus and -x"},
        {{"extra"}, "unexpected argument extra"},
        {{"a", "--bogus=1", "b"}, "unknown option --bogus=1; unexpected arguments a and b"},
    };
    // What CLI11 itself would have said in these cases.
    const std::vector<std::string> foreign{"Value ",  "not in range", "Could not convert", "Expected ", "required",
                                           "missing", "not expected", "allowed value",     "INT",       "TEXT",
                                           "UINT",    "At least"};
    for (const auto& [arguments, message] : cases) {
        std::string joined;
        for (const std::string& argument : arguments) joined += argument + " ";
        const auto p = parse(arguments);
        EXPECT_EQ(p.status, 2) << joined;
        EXPECT_EQ(p.error, message) << joined;
        for (const std::string& phrase : foreign) EXPECT_EQ(p.error.find(phrase), std::string::npos) << joined;
        EXPECT_EQ(p.err.rfind("Usage: oyun-example [OPTIONS]\nRun 'oyun-example --help' for more.\n", 0), 0u)
            << joined << "-> " << p.err;
        EXPECT_EQ(p.out, "") << joined;
    }
}

TEST(CommandLine, OtherRefusalsReadAsOursToo) {
    CLI::App app{"An example"};
    EXPECT_EQ(base::commandLineProblem(app, CLI::RequiredError("MODEL")), "MODEL is required");
    EXPECT_EQ(base::commandLineProblem(app, CLI::ExcludesError("--frame", "--from")),
              "--frame cannot be used with --from");
    EXPECT_EQ(base::commandLineProblem(app, CLI::ArgumentMismatch::AtMost("--join", 3, 4)),
              "--join: takes at most 3 values, not 4");
    EXPECT_EQ(base::commandLineProblem(app, CLI::ArgumentMismatch::AtLeast("--join", 2, 1)),
              "--join: needs at least 2 values, not 1");
    EXPECT_EQ(base::commandLineProblem(app, CLI::ArgumentMismatch("--size", 2, 1)), "--size: takes 2 values, not 1");
    EXPECT_EQ(base::commandLineProblem(app, CLI::ConversionError("abc", "--size")),
              "--size: 'abc' is not a value it takes");
}

}  // namespace
