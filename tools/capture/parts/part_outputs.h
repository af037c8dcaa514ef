// Where the worker processes of a shared capture write their parts, and how the parts become
// the output: a video's joined without encoding its pictures again, with the music encoded
// once; PNG frames moved into the folder.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "tools/capture/output/staged_output.h"
#include "tools/capture/plan/output_kind.h"
#include "tools/capture/render/undrawn_run.h"

class PartOutputs {
public:
    PartOutputs(std::filesystem::path output, OutputKind kind);
    ~PartOutputs();  // removes the parts, and what was staged unless put in place
    PartOutputs(const PartOutputs&) = delete;
    PartOutputs& operator=(const PartOutputs&) = delete;

    // Makes a hidden folder for the parts beside the video or inside the PNG folder's staging,
    // which proves the output writable. False with `error` (one line) when it is not.
    bool open(std::string& error);
    // Where part `part` (from 1) is written.
    std::filesystem::path partPath(int part) const;
    // Puts parts 1 to `count` in place as the output: a video's pictures with `run`'s sound
    // (a span of frames ending with frame `last`), PNG frames as they are.
    bool putInPlace(int count, const UndrawnRun& run, std::int64_t last, std::string& error,
                    const std::atomic<bool>* cancel);

private:
    bool gatherFrames(int count, std::int64_t last, std::string& error);

    std::filesystem::path output_;  // absolute
    OutputKind kind_;
    std::unique_ptr<StagedFolder> folder_;  // for PNG frames
    std::filesystem::path parts_;
};
