#include "tools/capture/render/undrawn_run.h"

#include <new>

#include "demo/offscreen_show.h"
#include "sound/sound_library.h"

UndrawnRun runUndrawn(const std::filesystem::path& dataDir, int width, int height, int fps, const FrameRange& frames,
                      bool keepSound, const std::atomic<bool>* cancel) {
    UndrawnRun run;
    auto show = OffscreenShow::open({width, height, dataDir}, run.error);
    if (!show) return run;
    std::vector<std::int16_t> span(static_cast<std::size_t>(longestSoundSpan(fps)) * kCaptureChannels);
    try {
        std::int64_t frame = 0;
        for (; frame < frames.end; ++frame) {
            if (cancel != nullptr && cancel->load()) {
                run.cancelled = true;
                run.error = kInterrupted;
                return run;
            }
            if (!show->update(tickOfFrame(frame, fps))) break;
            show->skip();
            const int count = soundFramesOf(frame, fps);
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

CaptureResult UndrawnRun::failure() const {
    CaptureResult result = CaptureResult::failure(error);
    result.cancelled = cancelled;
    return result;
}
