// The command line of every program, through CLI11: --help and --version print on stdout and
// end with 0; an unknown option or a bad value gives "program: message", the usage, and 2.
// The messages are ours: CLI11's own wording never reaches the user.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace base {

// "oyun-capture 1.0"
std::string versionLine();

// An App named after the program (base::programName()), with --version.
void prepareCommandLine(CLI::App& app);

// Parses argv into the options of `app`. Nothing when the program should go on; otherwise
// the exit status, after --help, --version or a wrong command line has been answered.
std::optional<int> parseCommandLine(CLI::App& app, int argc, char** argv);

// For options that take a path or a name: CLI11 takes the next word whatever it is, so
// "--output --quiet" would write a file named "--quiet". Such a word is refused.
extern const CLI::Validator kNotAnOption;

// A whole number from `low` to `high`, in decimal digits only. `unit` names what it counts
// ("milliseconds"), or is empty: "'abc' is not a number of milliseconds from 0 to 86400000".
// Given with ->transform(), not ->check(): it writes the number back without leading zeros,
// which CLI11 would otherwise read as octal ("010" as 8).
CLI::Validator wholeNumber(std::int64_t low, std::int64_t high, const std::string& unit = "");

// One of `names`: "'x' is not one of mp4, mkv or webm".
CLI::Validator oneOf(std::vector<std::string> names);

// What a command line that CLI11 refused got wrong, in the words of the other messages.
std::string commandLineProblem(const CLI::App& app, const CLI::ParseError& error);

// Exit status for a command line that parsed but makes no sense (the usage is printed).
int usageError(const CLI::App& app, const std::string& message);

}  // namespace base
