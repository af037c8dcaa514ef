// The music's form: tempo, the sections with their chords, and where they start. Every
// section starts on one of the show's cuts, so the pictures change with the music.
#pragma once

#include <array>
#include <vector>

namespace assets {

constexpr double kTempo = 120.0;                // beats per minute
constexpr double kBeatSeconds = 60.0 / kTempo;  // every cut falls on a beat at this tempo
constexpr double kTailSeconds = 3.0;            // the last chord's ring after the final bar

enum class SectionKind {
    kIntro,      // 0 s: the title over the circling tower; pads open up, the pulse arrives
    kDrop,       // 19 s: the chain of balls; full groove, bass and the main motif
    kBreakdown,  // 38 s: inside the tower; no kick, long chords and a quiet melody
    kTheme,      // 60 s: the rings of balls; a new bright theme on bells, syncopated bass
    kRise,       // 80 s: the rising balls; a build of rolls and a sweep
    kPeak,       // 86 s: the giant ball; the big hit
    kAnthem,     // 90 s: the first credits; the main motif at full strength
    kOutro,      // 106 s: the thanks; the groove thins out to a last held chord
};

struct Chord {
    int bass = 0;                // MIDI note of the bass root
    std::array<int, 4> voicing;  // MIDI notes of the pad chord
};

struct Bar {
    double startBeat = 0.0;  // from the start of the music
    double beats = 4.0;      // 4, or 2 for the half bar that lands a section on its cut
    Chord chord;
};

struct Section {
    SectionKind kind;
    const char* name;
    int startBeat;  // from the start of the music
    int beats;
    std::vector<Bar> bars;

    double startSeconds() const { return startBeat * kBeatSeconds; }
    double endSeconds() const { return (startBeat + beats) * kBeatSeconds; }
};

// The sections in order, each with its bars and chords.
const std::vector<Section>& arrangement();

// Seconds from the start to the end of the last bar, and to the end of the ring after it.
double arrangementSeconds();
double musicSeconds();

}  // namespace assets
