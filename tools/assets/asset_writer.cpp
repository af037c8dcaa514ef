// Draws, encodes and writes each picture and the music into the data folder.
#include "tools/assets/asset_writer.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <system_error>

#include "tools/assets/file_output.h"
#include "tools/assets/loudness.h"
#include "tools/assets/music.h"
#include "tools/assets/music_reader.h"
#include "tools/assets/opus_writer.h"
#include "tools/assets/pictures.h"
#include "tools/assets/tga_writer.h"
#include "tools/assets/wma_writer.h"

namespace assets {

namespace {

struct PictureJob {
    const char* name;
    std::function<Canvas(const Fonts&)> draw;
    int channels;
    TgaEncoding encoding;
};

std::vector<PictureJob> pictureJobs() {
    const auto rle = TgaEncoding::kRunLength;
    const auto raw = TgaEncoding::kUncompressed;
    return {
        {"mask.tga", [](const Fonts&) { return drawMaskPicture(); }, 4, rle},
        {"text.tga", drawTitlePicture, 4, rle},
        {"shine.tga", [](const Fonts&) { return drawShinePicture(); }, 4, rle},
        {"t1.tga", drawTowerCaption, 4, rle},
        {"t2.tga", drawRingsCaption, 4, rle},
        {"cre.tga", drawCreditsMaking, 4, rle},
        {"cre2.tga", drawCreditsThanks, 4, rle},
        {"mivra.tga", [](const Fonts&) { return drawGiantBallPicture(); }, 3, raw},
        {"ball.tga", [](const Fonts&) { return drawBallPicture(); }, 3, raw},
        {"ball_sur.tga", [](const Fonts&) { return drawChromeEnvironment(); }, 3, raw},
    };
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

using MusicWriter = bool (*)(const std::string& path, const StereoBuffer& audio, std::string& error);

// Encodes the music into one file and checks its level as decoded: the codec moves the peaks.
bool writeMusic(const std::string& folder, const char* name, const StereoBuffer& music, MusicWriter write,
                std::FILE* progress, std::string& error) {
    const auto start = std::chrono::steady_clock::now();
    const std::string path = (std::filesystem::path(folder) / name).string();
    if (!write(path, music, error)) return false;
    StereoBuffer decoded;
    int rate = 0;
    if (!readMusic(path, decoded, rate, error)) return false;
    const LevelReading level = measureLevel(decoded, rate);
    if (progress != nullptr) {
        std::fprintf(progress, "oyun-assets: %-13s encoded in %.2f s, %.1f LUFS, %.1f dBTP\n", name,
                     secondsSince(start), level.lufs, level.truePeakDb);
    }
    return checkMusicLevel(level, path, error);
}

}  // namespace

const std::vector<std::string>& assetFileNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const PictureJob& job : pictureJobs()) list.emplace_back(job.name);
        list.emplace_back("music.wma");
        list.emplace_back("music.opus");
        return list;
    }();
    return names;
}

bool writeAssets(const std::string& folder, std::FILE* progress, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(folder, ec) && !fs::is_directory(folder, ec)) {
        error = folder + " is not a folder";
        return false;
    }
    fs::create_directories(folder, ec);
    if (ec) {
        error = "cannot create the folder " + folder + ": " + ec.message();
        return false;
    }

    FontLibrary library;
    Fonts fonts;
    if (!library.open(error) || !loadFonts(library, fonts, error)) return false;
    if (progress != nullptr) {
        std::fprintf(progress, "oyun-assets: lettering in %s, %s, %s and %s\n", fonts.title.file.c_str(),
                     fonts.light.file.c_str(), fonts.body.file.c_str(), fonts.italic.file.c_str());
    }

    for (const PictureJob& job : pictureJobs()) {
        const auto start = std::chrono::steady_clock::now();
        const Canvas canvas = job.draw(fonts);
        const std::vector<std::uint8_t> bytes = encodeTga(toImage8(canvas, job.channels), job.encoding);
        const std::string path = (fs::path(folder) / job.name).string();
        if (!writeFile(path, bytes, error)) return false;
        if (progress != nullptr) {
            std::fprintf(progress, "oyun-assets: %-13s %4d x %-4d %d-bit %s %8zu bytes  %.2f s\n", job.name,
                         canvas.width, canvas.height, job.channels * 8,
                         job.encoding == TgaEncoding::kRunLength ? "run-length  " : "uncompressed", bytes.size(),
                         secondsSince(start));
        }
    }

    const auto start = std::chrono::steady_clock::now();
    const StereoBuffer music = renderMusic();
    const double rendered = secondsSince(start);
    if (progress != nullptr) {
        std::fprintf(progress, "oyun-assets: music         %.1f s at %d Hz stereo, synthesised in %.2f s\n",
                     static_cast<double>(music.frames()) / kSampleRate, kSampleRate, rendered);
    }
    if (!writeMusic(folder, "music.wma", music, writeWma, progress, error)) return false;
    if (!writeMusic(folder, "music.opus", music, writeOpus, progress, error)) return false;
    return true;
}

}  // namespace assets
