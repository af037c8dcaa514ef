// oyun-capture's command line through CLI11, with the checks of how the options go together
// that CLI11 cannot make.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "tools/capture/plan/capture_options.h"

class CaptureCommandLine {
public:
    CaptureCommandLine();
    CaptureCommandLine(const CaptureCommandLine&) = delete;
    CaptureCommandLine& operator=(const CaptureCommandLine&) = delete;

    // Reads argv (argv[0] the program) into `options`. Nothing when the capture should run;
    // otherwise the exit status, once --help or --version has been answered on stdout (0) or
    // a wrong command line reported with the usage on stderr (2).
    std::optional<int> parse(int argc, char** argv, CaptureOptions& options);

    // A command line found wrong later (a size this OpenGL cannot draw): reported with the
    // usage; the exit status, 2.
    int usageError(const std::string& message) const { return base::usageError(app_, message); }

private:
    // An option that takes a path or a name: never empty, never the next option.
    void addPath(const std::string& name, std::string& value, const std::string& description,
                 const std::string& typeName);
    // An option that takes a whole number N from 1 to `high`.
    void addCount(const std::string& name, int& value, const std::string& description, int high);
    CLI::Option* addMilliseconds(const std::string& name, std::int64_t& value, const std::string& description);
    // The options as parsed, into `options`; their values as CLI11 checked them.
    void copyInto(CaptureOptions& options) const;
    // Empty when the options parsed make a capture; otherwise why not, in one line.
    std::string problemWith(const CaptureOptions& options) const;

    CLI::App app_;
    std::string output_;
    int fps_ = 50;
    std::string size_;
    std::int64_t fromMs_ = 0;
    std::int64_t toMs_ = 0;
    std::int64_t frameMs_ = 0;
    std::string dataDir_;
    bool quiet_ = false;
    int supersample_ = 1;
    gfx::RendererKind renderer_ = gfx::RendererKind::kGl11;
    int jobs_ = 0;
    std::string segment_;
    std::vector<std::string> joinParts_;
    bool reportFrames_ = false;
    CLI::Option* from_ = nullptr;
    CLI::Option* to_ = nullptr;
    CLI::Option* frame_ = nullptr;
};
