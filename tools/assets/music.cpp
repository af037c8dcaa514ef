// Mixdown: each track is rendered alone, ducked under the kick where it should pump, and sent
// in part to the echo and the reverb; the master sums it all, sets the loudness and limits the peaks.
#include "tools/assets/music.h"

#include <cmath>

#include "tools/assets/arrangement.h"
#include "tools/assets/drums.h"
#include "tools/assets/effects.h"
#include "tools/assets/instruments.h"
#include "tools/assets/loudness.h"
#include "tools/assets/score.h"

namespace assets {

namespace {

struct Sends {
    float level, ducking, echo, reverb;
};

class Mixer {
public:
    explicit Mixer(std::size_t frames, std::vector<float> duck)
        : master(frames), echoSend(frames), reverbSend(frames), scratch(frames), duck_(std::move(duck)) {}

    // Adds the scratch track into the master and the sends.
    void commit(const Sends& s) {
        for (std::size_t i = 0; i < scratch.frames(); ++i) {
            const float g = s.level * (1.0f - s.ducking + s.ducking * duck_[i]);
            const float l = scratch.left[i] * g;
            const float r = scratch.right[i] * g;
            master.left[i] += l;
            master.right[i] += r;
            echoSend.left[i] += l * s.echo;
            echoSend.right[i] += r * s.echo;
            reverbSend.left[i] += l * s.reverb;
            reverbSend.right[i] += r * s.reverb;
        }
    }

    StereoBuffer master, echoSend, reverbSend, scratch;

private:
    std::vector<float> duck_;
};

// Level, how deep it ducks under the kick (0..1), and its echo and reverb sends.
Sends sendsOf(Track track) {
    switch (track) {
        case Track::kKick: return {1.0f, 0.0f, 0.0f, 0.05f};
        case Track::kDrums: return {0.9f, 0.1f, 0.0f, 0.25f};
        case Track::kBass: return {1.0f, 0.7f, 0.0f, 0.0f};
        case Track::kPad: return {1.0f, 0.55f, 0.0f, 0.5f};
        case Track::kPluck: return {0.9f, 0.45f, 0.35f, 0.3f};
        case Track::kLead: return {1.0f, 0.15f, 0.3f, 0.35f};
        case Track::kBell: return {1.0f, 0.0f, 0.3f, 0.5f};
    }
    return {};
}

}  // namespace

StereoBuffer renderTrack(const Score& score, Track track, std::size_t frames) {
    StereoBuffer out(frames);
    auto isKick = [](const DrumHit& hit) { return hit.kind == DrumKind::kKick || hit.kind == DrumKind::kImpact; };
    switch (track) {
        case Track::kKick:
            for (const DrumHit& hit : score.drums) {
                if (isKick(hit)) renderDrum(hit, out);
            }
            break;
        case Track::kDrums:
            for (const DrumHit& hit : score.drums) {
                if (!isKick(hit)) renderDrum(hit, out);
            }
            break;
        case Track::kBass:
            for (const NoteEvent& n : score.bass) renderBassNote(n, out);
            break;
        case Track::kPad:
            for (const NoteEvent& n : score.pad) renderPadNote(n, score.padCutoff, out);
            break;
        case Track::kPluck:
            for (const NoteEvent& n : score.pluck) renderPluckNote(n, out);
            break;
        case Track::kLead:
            for (const NoteEvent& n : score.lead) renderLeadNote(n, out);
            break;
        case Track::kBell:
            for (const NoteEvent& n : score.bell) renderBellNote(n, out);
            break;
    }
    return out;
}

StereoBuffer renderMusic() {
    const Score score = composeScore();
    const std::size_t frames = frameAt(musicSeconds());

    std::vector<double> kicks;
    for (const DrumHit& hit : score.drums) {
        if (hit.kind == DrumKind::kKick || hit.kind == DrumKind::kImpact) kicks.push_back(hit.start);
    }
    Mixer mix(frames, duckingCurve(frames, kicks, 1.0f, 0.11f));
    for (Track track : kTracks) {
        mix.scratch = renderTrack(score, track, frames);
        mix.commit(sendsOf(track));
    }

    // Dotted eighth echo, then a room that also takes some of the echo.
    const StereoBuffer echo = pingPongDelay(mix.echoSend, kBeatSeconds * 0.75, 0.38f, 2800.0f);
    for (std::size_t i = 0; i < frames; ++i) {
        mix.master.left[i] += echo.left[i];
        mix.master.right[i] += echo.right[i];
        mix.reverbSend.left[i] += echo.left[i] * 0.3f;
        mix.reverbSend.right[i] += echo.right[i] * 0.3f;
    }
    const StereoBuffer room = roomReverb(mix.reverbSend, 0.82f, 0.35f);
    for (std::size_t i = 0; i < frames; ++i) {
        mix.master.left[i] += room.left[i];
        mix.master.right[i] += room.right[i];
    }

    StereoBuffer out = std::move(mix.master);
    removeRumble(out);
    fadeOut(out, kTailSeconds);
    masterToLoudness(out, kMusicLoudness, kMusicCeiling);
    return out;
}

void masterToLoudness(StereoBuffer& buffer, double lufs, float ceiling) {
    const StereoBuffer dry = buffer;
    double gainDb = lufs - integratedLoudness(dry, kSampleRate);
    for (int round = 0; round < 8; ++round) {
        const auto gain = static_cast<float>(std::pow(10.0, gainDb / 20.0));
        for (std::size_t i = 0; i < dry.frames(); ++i) {
            buffer.left[i] = dry.left[i] * gain;
            buffer.right[i] = dry.right[i] * gain;
        }
        limitPeaks(buffer, ceiling, 0.004, 0.06);
        const double miss = lufs - integratedLoudness(buffer, kSampleRate);
        if (std::fabs(miss) < 0.01) break;
        gainDb += miss;
    }
}

}  // namespace assets
