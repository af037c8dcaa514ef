// oyun-assets OUTPUT_DIR: writes the show's pictures and music, all drawn and synthesised by
// our own code, into the given folder.
#include <chrono>
#include <cstdio>
#include <string>

#include "base/command_line.h"
#include "base/report.h"
#include "tools/assets/asset_writer.h"
#include "tools/assets/icon.h"

namespace {

constexpr const char* kDescription =
    "Draws the show's ten pictures and synthesises its music (music.wma, and music.opus for web browsers), "
    "all from our own code, into OUTPUT_DIR; every run writes the same bytes.";

constexpr const char* kFooter =
    "OUTPUT_DIR is made when missing; files of the same names in it are replaced.\n"
    "Exit status: 0 when written, 1 on a failure, 2 for a wrong command line.";

// The folder is required, which CLI11's own usage would not show: the check is ours.
class AssetsFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App*, std::string name) const override {
        return "Usage: " + name + " [OPTIONS] OUTPUT_DIR\n";
    }
};

}  // namespace

int main(int argc, char** argv) {
    base::setProgramName("oyun-assets");
    CLI::App app{kDescription};
    app.formatter(std::make_shared<AssetsFormatter>());
    base::prepareCommandLine(app);
    std::string output;
    app.add_option("OUTPUT_DIR", output, "The folder to write into")->type_name("")->check(base::kNotAnOption);
    std::string icons;
    app.add_option("--icons", icons, "Also write the desktop icon (oyun-48.png, oyun-256.png) into this folder")
        ->type_name("DIR")
        ->check(base::kNotAnOption);
    app.footer(kFooter);
    if (const auto status = base::parseCommandLine(app, argc, argv)) return *status;
    // Checked here rather than by CLI11, which would say so before naming an unknown option.
    if (output.empty()) return base::usageError(app, "OUTPUT_DIR is required");

    const auto start = std::chrono::steady_clock::now();
    std::string error;
    if (!assets::writeAssets(output, stdout, error)) {
        std::fflush(stdout);
        base::report(base::Level::kError, error);
        return 1;
    }
    if (!icons.empty() && !assets::writeIcons(icons, error)) {
        base::report(base::Level::kError, error);
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("oyun-assets: wrote %zu files to %s in %.1f s\n", assets::assetFileNames().size(), output.c_str(),
                seconds);
    return 0;
}
