// The command line of every program, through CLI11: --help and --version print on stdout and
// end with 0; an unknown option or a bad value gives "program: message", the usage, and 2.
#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <string>

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

// Exit status for a command line that parsed but makes no sense (the usage is printed).
int usageError(const CLI::App& app, const std::string& message);

}  // namespace base
