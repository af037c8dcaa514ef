// The notes and drum hits of the music, composed section by section over the arrangement.
#pragma once

#include <utility>
#include <vector>

namespace assets {

struct NoteEvent {
    double start = 0.0;   // seconds
    double length = 0.0;  // seconds the note is held
    float pitch = 60.0f;  // MIDI note
    float velocity = 1.0f;
    float pan = 0.0f;  // -1 left .. 1 right
};

enum class DrumKind { kKick, kSnare, kClap, kClosedHat, kOpenHat, kCrash, kTom, kRiser, kImpact };

struct DrumHit {
    double start = 0.0;  // seconds
    DrumKind kind = DrumKind::kKick;
    float velocity = 1.0f;
    float pan = 0.0f;
    float pitch = 0.0f;   // toms: Hz
    double length = 0.0;  // risers: seconds
};

// A value that moves along straight lines between (time, value) points, flat outside them.
struct Automation {
    std::vector<std::pair<double, float>> points;
    float at(double seconds) const;
};

struct Score {
    std::vector<NoteEvent> pad, bass, lead, pluck, bell;
    std::vector<DrumHit> drums;
    Automation padCutoff;  // Hz
};

Score composeScore();

}  // namespace assets
