// Sound in a page: WebAudio at the mixer's rate, a script processor pulling mixed frames on the
// page's own thread (no threads needed), and the time of the sound heard for the tick clock.
// Where the page may not play sound (no AudioContext, or one the browser keeps suspended), a
// timer consumes the frames in real time instead, silently, as the desktop's silent output.
#include <emscripten.h>

#include <vector>

#include "base/report.h"
#include "platform/audio.h"
#include "platform/web_internal.h"

namespace platform {

struct AudioOutput {
    AudioPull pull = nullptr;
    void* user = nullptr;
    std::vector<std::int16_t> buffer;
};

}  // namespace platform

extern "C" {

// Called by the page's script: mixes `frames` frames and returns where they are.
EMSCRIPTEN_KEEPALIVE const std::int16_t* oyun_web_audio_pull(platform::AudioOutput* output, int frames) {
    output->buffer.resize(static_cast<std::size_t>(frames) * 2);
    output->pull(output->user, output->buffer.data(), frames);
    return output->buffer.data();
}

}  // extern "C"

namespace platform {

namespace {

constexpr int kBufferFrames = 4096;  // about 93 ms at 44.1 kHz: room for a slow frame

// The script below is JavaScript inside C++: clang-format would space its operators apart.
// clang-format off

// 1 when an AudioContext plays the output (or will once it starts), 0 for the silent timer.
EM_JS(int, oyun_audio_open, (int rate, int bufferFrames, void* output, int silent), {
    var audio = {output: output, rate: rate, bufferFrames: bufferFrames, pulled: 0, pairs: [], heard: 0,
                 following: false, node: null, timer: 0, watchdog: 0, context: null};
    Module.oyunAudio = audio;
    function pull(frames) { return Module._oyun_web_audio_pull(output, frames) >> 1; }
    function startSilent() {
        audio.following = false;
        if (audio.node) {
            audio.node.onaudioprocess = null;
            audio.node.disconnect();
            audio.node = null;
        }
        var start = performance.now();
        var consumed = 0;
        audio.timer = setInterval(function() {
            var due = Math.floor((performance.now() - start) * rate / 1000);
            /* After a stall (a hidden page) the backlog is dropped, as a device would underrun. */
            if (due - consumed > rate / 5) {
                start = performance.now();
                consumed = 0;
                due = 0;
            }
            while (consumed + 512 <= due) {
                pull(512);
                consumed += 512;
            }
        }, 10);
    }
    if (silent) {
        startSilent();
        return 0;
    }
    var context = Module.oyunAudioContext;
    try {
        if (!context || context.state === "closed" || context.sampleRate !== rate) {
            if (context && context.state !== "closed") context.close();
            context = new AudioContext({sampleRate: rate, latencyHint: "playback"});
            Module.oyunAudioContext = context;
        }
        audio.node = context.createScriptProcessor(bufferFrames, 0, 2);
    } catch (error) {
        Module.oyunAudioContext = null;
        startSilent();
        return 0;
    }
    audio.context = context;
    audio.following = true;
    /* The output's own time now: the audio context's output timestamp moved on by the page's
       clock since it was taken. */
    audio.outputNow = function() {
        var now = context.currentTime - (context.outputLatency || 0);
        if (context.getOutputTimestamp) {
            var stamp = context.getOutputTimestamp();
            if (stamp.performanceTime > 0) now = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
        }
        return now;
    };
    /* Milliseconds of the output heard by now: the latest block whose playback time has come,
       and how far into it the output is (0 before the first). Blocks are kept from that one on:
       after a stall the browser asks for several at once, all of them to be played later. */
    audio.positionMs = function() {
        var now = audio.outputNow();
        while (audio.pairs.length > 1 && audio.pairs[1].time <= now) audio.pairs.shift();
        var pair = audio.pairs[0];
        if (!pair || pair.time > now) return 0;
        return (pair.frames + Math.min((now - pair.time) * rate, bufferFrames)) * 1000 / rate;
    };
    audio.node.onaudioprocess = function(event) {
        var n = event.outputBuffer.length;
        var at = pull(n);
        var left = event.outputBuffer.getChannelData(0);
        var right = event.outputBuffer.getChannelData(1);
        for (var i = 0; i < n; i++) {
            left[i] = HEAP16[at + 2 * i] / 32768;
            right[i] = HEAP16[at + 2 * i + 1] / 32768;
        }
        audio.pairs.push({time: event.playbackTime, frames: audio.pulled});
        audio.positionMs();  /* drops the blocks already behind */
        audio.pulled += n;
    };
    audio.node.connect(context.destination);
    if (context.state !== "running") context.resume().catch(function() {});
    /* A context the browser keeps suspended never asks for sound: after a second without a
       request the output goes on silently, and the clock leaves the audio. */
    audio.watchdog = setTimeout(function() {
        if (Module.oyunAudio === audio && audio.pairs.length === 0) {
            console.warn("oyun: the page may not play sound yet; the show goes on silently");
            startSilent();
        }
    }, 1000);
    return 1;
});

EM_JS(void, oyun_audio_close, (), {
    var audio = Module.oyunAudio;
    if (!audio) return;
    Module.oyunAudio = null;
    clearTimeout(audio.watchdog);
    clearInterval(audio.timer);
    if (audio.node) {
        audio.node.onaudioprocess = null;
        audio.node.disconnect();
    }
});

EM_JS(int, oyun_audio_plays_sound, (), {
    var audio = Module.oyunAudio;
    return audio && audio.following ? 1 : 0;
});

/* The output's frame under the speaker now, from the latest block whose playback time has
   come; never less than an earlier answer. */
EM_JS(double, oyun_audio_heard_ms, (), {
    var audio = Module.oyunAudio;
    if (!audio || !audio.following) return -1;
    var ms = Math.max(audio.heard, audio.positionMs());
    audio.heard = ms;
    return ms;
});

// clang-format on

AudioOutput* open(int rate, AudioPull pull, void* user, bool silent) {
    auto* output = new AudioOutput;
    output->pull = pull;
    output->user = user;
    if (oyun_audio_open(rate, kBufferFrames, output, silent ? 1 : 0) == 0 && !silent)
        base::report(base::Level::kWarning, "no audio output in this page; playing silently");
    return output;
}

}  // namespace

namespace web {
double audioHeardMilliseconds() { return oyun_audio_heard_ms(); }
}  // namespace web

AudioOutput* openAudioOutput(int rate, AudioPull pull, void* user) { return open(rate, pull, user, false); }

AudioOutput* openSilentAudioOutput(int rate, AudioPull pull, void* user) { return open(rate, pull, user, true); }

void closeAudioOutput(AudioOutput* output) {
    if (output == nullptr) return;
    oyun_audio_close();
    delete output;
}

AudioOutputKind audioOutputKind(const AudioOutput* /*output*/) {
    return oyun_audio_plays_sound() != 0 ? AudioOutputKind::kDevice : AudioOutputKind::kSilent;
}

}  // namespace platform
