#include "base/command_line.h"

#include <cstdio>

#include "base/report.h"

namespace base {

const CLI::Validator kNotAnOption(
    [](std::string& value) -> std::string {
        if (value.size() > 1 && value[0] == '-') return "needs a value, not the option " + value;
        return {};
    },
    "", "not an option");

std::string versionLine() { return programName() + " " + OYUN_VERSION; }

void prepareCommandLine(CLI::App& app) {
    app.name(programName());
    app.set_version_flag("--version", versionLine(), "Print the version and exit");
    app.set_help_flag("-h,--help", "Print this help and exit");
    app.get_formatter()->column_width(24);
}

int usageError(const CLI::App& app, const std::string& message) {
    report(Level::kError, message);
    const auto* formatter = dynamic_cast<const CLI::Formatter*>(app.get_formatter().get());
    const std::string usage =
        formatter != nullptr ? formatter->make_usage(&app, programName()) : "Usage: " + programName() + " [OPTIONS]\n";
    std::fprintf(stderr, "%sRun '%s --help' for more.\n", usage.c_str(), programName().c_str());
    return 2;
}

std::optional<int> parseCommandLine(CLI::App& app, int argc, char** argv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), stdout);
        return 0;
    } catch (const CLI::CallForVersion&) {
        std::printf("%s\n", versionLine().c_str());
        return 0;
    } catch (const CLI::ParseError& error) {
        return usageError(app, error.what());
    }
    return std::nullopt;
}

}  // namespace base
