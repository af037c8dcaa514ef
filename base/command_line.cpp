#include "base/command_line.h"

#include <cstdio>
#include <regex>
#include <utility>

#include "base/report.h"
#include "base/whole_number.h"

namespace base {

namespace {

// "a", "a and b", "a, b and c"
std::string listed(const std::vector<std::string>& words, const std::string& last = " and ") {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) text += i + 1 == words.size() ? last : ", ";
        text += words[i];
    }
    return text;
}

// "unknown option --bogus", "unexpected arguments a and b"; both kinds in one line.
std::string extrasProblem(const CLI::App& app, const std::string& fallback) {
    std::vector<std::string> options;
    std::vector<std::string> words;
    for (const std::string& argument : app.remaining()) {
        (argument.size() > 1 && argument[0] == '-' ? options : words).push_back(argument);
    }
    std::string text;
    if (!options.empty()) text = (options.size() > 1 ? "unknown options " : "unknown option ") + listed(options);
    if (!words.empty()) {
        if (!text.empty()) text += "; ";
        text += (words.size() > 1 ? "unexpected arguments " : "unexpected argument ") + listed(words);
    }
    return text.empty() ? fallback : text;
}

bool isFlag(const CLI::App& app, const std::string& name) {
    const CLI::Option* option = app.get_option_no_throw(name);
    return option != nullptr && option->get_expected_max() == 0;
}

std::string values(const std::string& count) { return count == "1" ? "one value" : count + " values"; }

// CLI11's messages on the number and form of values, matched whole, and ours for each.
std::optional<std::string> valueProblem(const CLI::App& app, const std::string& what) {
    std::smatch m;
    const auto matches = [&](const char* pattern) { return std::regex_match(what, m, std::regex(pattern)); };
    if (matches("(.+): (\\d+) required .* missing"))
        return m[2] == "1" ? m.str(1) + ": needs a value" : m.str(1) + ": needs " + values(m[2]);
    if (matches("(.+?)(: too many inputs for a flag| was given a disallowed flag override|: Should be true/false or a "
                "number)"))
        return m.str(1) + ": takes no value";
    if (matches("Expected exactly (\\d+) arguments to (.+), got (\\d+)"))
        return m.str(2) + ": takes " + values(m[1]) + ", not " + m.str(3);
    if (matches("Expected at least (\\d+) arguments to (.+), got (\\d+)"))
        return m.str(2) + ": needs at least " + values(m[1]) + ", not " + m.str(3);
    if (matches("(.+): At least (\\d+) required but received (\\d+)"))
        return m.str(1) + ": needs at least " + values(m[2]) + ", not " + m.str(3);
    if (matches("(.+): At Most (\\d+) required but received (\\d+)"))
        return m.str(1) + ": takes at most " + values(m[2]) + ", not " + m.str(3);
    std::string name;
    std::string value;
    if (matches("Could not convert: (.+) = (.*)")) {
        name = m[1];
        value = m[2];
    } else if (matches("The value (.*) is not an allowed value for (.+)")) {
        name = m[2];
        value = m[1];
    } else {
        return std::nullopt;
    }
    if (isFlag(app, name)) return name + ": takes no value, not '" + value + "'";
    return name + ": '" + value + "' is not a value it takes";
}

}  // namespace

const CLI::Validator kNotAnOption(
    [](std::string& value) -> std::string {
        if (value.size() > 1 && value[0] == '-') return "needs a value, not the option " + value;
        return {};
    },
    "", "not an option");

CLI::Validator wholeNumber(std::int64_t low, std::int64_t high, const std::string& unit) {
    const std::string kind = unit.empty() ? "a whole number" : "a number of " + unit;
    return CLI::Validator(
        [low, high, kind](std::string& text) -> std::string {
            if (const auto value = parseWholeNumber(text, low, high)) {
                text = std::to_string(*value);
                return {};
            }
            return "'" + text + "' is not " + kind + " from " + std::to_string(low) + " to " + std::to_string(high);
        },
        "", "");
}

CLI::Validator oneOf(std::vector<std::string> names) {
    return CLI::Validator(
        [names = std::move(names)](std::string& text) -> std::string {
            for (const std::string& name : names)
                if (text == name) return {};
            return "'" + text + "' is not one of " + listed(names, " or ");
        },
        "", "");
}

std::string commandLineProblem(const CLI::App& app, const CLI::ParseError& error) {
    const std::string what = error.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) return extrasProblem(app, what);
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr ||
        dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) {
        if (auto problem = valueProblem(app, what)) return *problem;
    }
    std::smatch m;
    if (dynamic_cast<const CLI::ExcludesError*>(&error) != nullptr &&
        std::regex_match(what, m, std::regex("(.+) excludes (.+)")))
        return m.str(1) + " cannot be used with " + m.str(2);
    return what;
}

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
        return usageError(app, commandLineProblem(app, error));
    }
    return std::nullopt;
}

}  // namespace base
