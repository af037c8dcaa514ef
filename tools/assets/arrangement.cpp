// Sections and chords of the music, in A minor at 120 beats per minute. Sections lasting an
// odd number of half-bars (19 s = 38 beats) end on a two-beat bar, which carries the turn-around
// chord and a fill into the cut.
#include "tools/assets/arrangement.h"

#include <initializer_list>

namespace assets {

namespace {

const Chord kAm = {45, {57, 60, 64, 69}};
const Chord kF = {41, {57, 60, 65, 69}};
const Chord kC = {48, {55, 60, 64, 67}};
const Chord kG = {43, {55, 59, 62, 67}};
const Chord kE = {40, {56, 59, 64, 68}};
const Chord kDm = {50, {57, 62, 65, 69}};
const Chord kEm = {40, {55, 59, 64, 67}};

Section makeSection(SectionKind kind, const char* name, int startBeat, int beats, std::initializer_list<Chord> chords) {
    Section s{kind, name, startBeat, beats, {}};
    double beat = startBeat;
    const double end = startBeat + beats;
    for (const Chord& chord : chords) {
        if (beat >= end) break;
        const double length = end - beat >= 4.0 ? 4.0 : end - beat;
        s.bars.push_back({beat, length, chord});
        beat += length;
    }
    return s;
}

std::vector<Section> buildArrangement() {
    using K = SectionKind;
    std::vector<Section> sections;
    sections.push_back(makeSection(K::kIntro, "intro", 0, 38, {kAm, kF, kC, kG, kAm, kF, kC, kG, kAm, kE}));
    sections.push_back(makeSection(K::kDrop, "drop", 38, 38, {kAm, kF, kC, kG, kAm, kF, kC, kG, kAm, kG}));
    sections.push_back(
        makeSection(K::kBreakdown, "breakdown", 76, 44, {kF, kG, kEm, kAm, kF, kG, kEm, kAm, kF, kG, kE}));
    sections.push_back(makeSection(K::kTheme, "theme", 120, 40, {kAm, kDm, kG, kC, kAm, kDm, kG, kC, kDm, kE}));
    sections.push_back(makeSection(K::kRise, "rise", 160, 12, {kF, kG, kE}));
    sections.push_back(makeSection(K::kPeak, "peak", 172, 8, {kAm, kE}));
    sections.push_back(makeSection(K::kAnthem, "anthem", 180, 32, {kAm, kF, kC, kG, kAm, kF, kC, kG}));
    sections.push_back(makeSection(K::kOutro, "outro", 212, 64,
                                   {kAm, kF, kC, kG, kAm, kF, kC, kG, kF, kG, kEm, kAm, kF, kG, kAm, kAm}));
    return sections;
}

}  // namespace

const std::vector<Section>& arrangement() {
    static const std::vector<Section> sections = buildArrangement();
    return sections;
}

double arrangementSeconds() { return arrangement().back().endSeconds(); }

double musicSeconds() { return arrangementSeconds() + kTailSeconds; }

}  // namespace assets
