// oyun-assets OUTPUT_DIR: writes the show's pictures and music, all drawn and synthesised by
// our own code, into the given folder.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/report.h"
#include "tools/assets/asset_writer.h"

int main(int argc, char** argv) {
    base::setProgramName("oyun-assets");
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fprintf(argc == 2 ? stdout : stderr,
                     "usage: oyun-assets OUTPUT_DIR\n"
                     "Writes the show's ten pictures and its music (music.wma) into OUTPUT_DIR.\n");
        return argc == 2 ? 0 : 2;
    }
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    if (!assets::writeAssets(argv[1], stdout, error)) {
        std::fflush(stdout);
        base::report(base::Level::kError, error);
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("oyun-assets: wrote %zu files to %s in %.1f s\n", assets::assetFileNames().size(), argv[1], seconds);
    return 0;
}
