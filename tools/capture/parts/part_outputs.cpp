#include "tools/capture/parts/part_outputs.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

#include "base/report.h"
#include "tools/capture/output/png_frames.h"
#include "tools/capture/output/system_errors.h"
#include "tools/capture/parts/segment_join.h"

namespace fs = std::filesystem;

PartOutputs::PartOutputs(fs::path output, OutputKind kind) : output_(std::move(output)), kind_(kind) {}

PartOutputs::~PartOutputs() {
    if (parts_.empty()) return;
    std::error_code ignored;
    fs::remove_all(parts_, ignored);
}

bool PartOutputs::open(std::string& error) {
    if (!isVideo(kind_)) {
        folder_ = StagedFolder::create(output_, error);
        if (!folder_) return false;
    }
    const fs::path inside = folder_ ? folder_->staged("") : output_.parent_path();
    std::string pattern = (inside / ".oyun-capture-parts-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        error = cannotWrite(output_, errno);
        return false;
    }
    parts_ = pattern;
    return true;
}

fs::path PartOutputs::partPath(int part) const {
    const std::string name = "part-" + std::to_string(part);
    if (kind_ == OutputKind::kWebM) return parts_ / (name + ".webm");
    if (isVideo(kind_)) return parts_ / (name + ".mkv");
    return parts_ / (name + "/");
}

bool PartOutputs::putInPlace(int count, const UndrawnRun& run, std::int64_t last, std::string& error,
                             const std::atomic<bool>* cancel) {
    if (!isVideo(kind_)) return gatherFrames(count, last, error);
    std::vector<fs::path> paths;
    for (int part = 1; part <= count; ++part) paths.push_back(partPath(part));
    std::vector<SegmentFile> segments;
    return readSegments(paths, segments, error) &&
           joinSegments(segments, run.sound, run.soundFrames, output_, kind_, error, cancel);
}

// Moves each worker's PNG frames into the staged folder and puts them in place.
bool PartOutputs::gatherFrames(int count, std::int64_t last, std::string& error) {
    std::vector<std::string> names;
    for (int part = 1; part <= count; ++part) {
        std::error_code ec;
        for (auto entry = fs::directory_iterator(partPath(part), ec); !ec && entry != fs::end(entry);
             entry.increment(ec)) {
            const std::string name = entry->path().filename().string();
            if (!pngFrameNumber(name)) continue;
            fs::rename(entry->path(), folder_->staged(name), ec);
            if (ec) break;
            names.push_back(name);
        }
        if (ec) {
            error = "cannot gather the frames in " + output_.string() + ": " + errnoText(ec.value());
            return false;
        }
    }
    if (!folder_->commit(names, error)) return false;
    if (const std::string kept = removeFramesAfter(output_, last); !kept.empty())
        base::report(base::Level::kWarning, kept);
    return true;
}
