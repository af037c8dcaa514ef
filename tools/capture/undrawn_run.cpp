#include "tools/capture/undrawn_run.h"

#include <new>

#include "demo/offscreen_show.h"
#include "sound/sound_library.h"
#include "tools/capture/frame_writer.h"

UndrawnRun runUndrawn(const std::filesystem::path& dataDir, int width, int height, int fps, const FrameRange& frames,
                      bool keepSound, const std::atomic<bool>* cancel) {
    UndrawnRun run;
    auto show = OffscreenShow::open({width, height, dataDir}, run.error);
    if (!show) return run;
    const auto maxSpan = static_cast<std::size_t>(kCaptureSampleRate / fps + 1);
    std::vector<std::int16_t> span(maxSpan * kCaptureChannels);
    try {
        std::int64_t frame = 0;
        for (; frame < frames.end; ++frame) {
            if (cancel != nullptr && cancel->load()) {
                run.cancelled = true;
                run.error = "interrupted; nothing was written";
                return run;
            }
            if (!show->update(tickOfFrame(frame, fps))) break;
            show->skip();
            const auto count = static_cast<int>(firstSampleOfFrame(frame + 1, fps) - firstSampleOfFrame(frame, fps));
            sound::pullFrames(span.data(), count);
            if (keepSound && frame >= frames.first) {
                run.sound.insert(run.sound.end(), span.begin(), span.begin() + count * kCaptureChannels);
                run.soundFrames.push_back(count);
            }
        }
        run.end = frame;
    } catch (const std::bad_alloc&) {
        run.error = "not enough memory for the show's sound";
        return run;
    }
    run.ok = true;
    return run;
}
