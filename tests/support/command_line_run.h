// A program's command line as the program reads it, with what it prints and reports, for the
// tests of each program's options.
#pragma once

#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "base/report.h"
#include "tests/support/output_capture.h"
#include "tests/support/report_capture.h"

namespace testing_support {

template <typename Options>
struct ParsedCommandLine {
    std::optional<int> status;  // nothing: the program goes on
    Options options;
    std::string error;  // the one report of a wrong command line
    std::string out;    // stdout
    std::string err;    // stderr, the report aside
};

// Calls parse(argc, argv, options) on "program arguments..." under the program's name.
template <typename Options, typename Parse>
ParsedCommandLine<Options> parseCommandLineOf(const std::string& program, const std::vector<std::string>& arguments,
                                              Parse parse) {
    base::setProgramName(program);
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    ParsedCommandLine<Options> parsed;
    ReportCapture reports;
    {
        OutputCapture out(STDOUT_FILENO);
        OutputCapture err(STDERR_FILENO);
        parsed.status = parse(static_cast<int>(argv.size()), argv.data(), parsed.options);
        parsed.out = out.text();
        parsed.err = err.text();
    }
    if (!reports.reports.empty()) parsed.error = reports.onlyText();
    return parsed;
}

}  // namespace testing_support
