// Composition: what each instrument and drum plays in each section of the arrangement.
#include "tools/assets/score.h"

#include <algorithm>
#include <cmath>

#include "tools/assets/arrangement.h"

namespace assets {

namespace {

struct MotifNote {
    double beat, beats;
    int pitch;
};
using MotifBar = std::vector<MotifNote>;

// The main motif over Am F C G.
const std::vector<MotifBar> kMainMotif = {
    {{0, 1, 69}, {1, 0.5, 72}, {1.5, 1.5, 76}, {3, 1, 74}},
    {{0, 1.5, 72}, {1.5, 0.5, 69}, {2, 1, 72}, {3, 1, 74}},
    {{0, 1.5, 76}, {1.5, 1, 79}, {2.5, 0.5, 76}, {3, 1, 74}},
    {{0, 1.5, 74}, {1.5, 0.5, 71}, {2, 2, 67}},
};
// The quiet melody over F G Em Am, and its turn towards E.
const std::vector<MotifBar> kBreakdownMelody = {
    {{0, 2, 69}, {2, 1, 67}, {3, 1, 69}},
    {{0, 3, 71}, {3, 1, 74}},
    {{0, 2, 76}, {2, 1, 74}, {3, 1, 71}},
    {{0, 4, 72}},
};
const std::vector<MotifBar> kBreakdownTurn = {
    {{0, 2, 69}, {2, 2, 72}},
    {{0, 2, 74}, {2, 2, 71}},
    {{0, 2, 71}, {2, 2, 68}},
};
// The bright theme over Am Dm G C.
const std::vector<MotifBar> kThemeMotif = {
    {{0, 0.75, 81}, {0.75, 0.75, 76}, {1.5, 0.5, 72}, {2, 1, 76}, {3, 0.5, 74}, {3.5, 0.5, 72}},
    {{0, 0.75, 74}, {0.75, 0.75, 77}, {1.5, 0.5, 81}, {2, 2, 77}},
    {{0, 0.75, 79}, {0.75, 0.75, 74}, {1.5, 0.5, 71}, {2, 1, 74}, {3, 0.5, 77}, {3.5, 0.5, 76}},
    {{0, 1.5, 76}, {1.5, 0.5, 74}, {2, 2, 72}},
};
const std::vector<MotifBar> kThemeTurn = {
    {{0, 2, 74}, {2, 2, 77}},
    {{0, 2, 76}, {2, 2, 80}},
};
const std::vector<MotifBar> kPeakLine = {
    {{0, 4, 81}},
    {{0, 2, 80}, {2, 2, 83}},
};

double seconds(double beat) { return beat * kBeatSeconds; }

class Composer {
public:
    Score score;

    void pad(const Bar& bar, float velocity) {
        for (std::size_t i = 0; i < bar.chord.voicing.size(); ++i) {
            const float pan = -0.45f + 0.3f * static_cast<float>(i);
            score.pad.push_back({seconds(bar.startBeat), seconds(bar.beats) + 0.02,
                                 static_cast<float>(bar.chord.voicing[i]), velocity, pan});
        }
    }
    void padHeld(const Bar& bar, double beats, float velocity) {
        for (std::size_t i = 0; i < bar.chord.voicing.size(); ++i) {
            const float pan = -0.45f + 0.3f * static_cast<float>(i);
            score.pad.push_back(
                {seconds(bar.startBeat), seconds(beats), static_cast<float>(bar.chord.voicing[i]), velocity, pan});
        }
    }
    void bassNote(const Bar& bar, double beat, double beats, int offset, float velocity) {
        score.bass.push_back({seconds(bar.startBeat + beat), seconds(beats),
                              static_cast<float>(bar.chord.bass + offset), velocity, 0.0f});
    }
    void bassHeld(const Bar& bar, float velocity) { bassNote(bar, 0.0, bar.beats - 0.1, 0, velocity); }
    // Root on every off-beat, the last one an octave up: the pumping line of the groove.
    void bassOffbeats(const Bar& bar, float velocity) {
        for (int b = 0; b < static_cast<int>(bar.beats); ++b) {
            const bool last = b == static_cast<int>(bar.beats) - 1;
            bassNote(bar, b + 0.5, 0.42, last ? 12 : 0, velocity);
        }
    }
    void bassSyncopated(const Bar& bar, float velocity) {
        const std::pair<double, int> hits[] = {{0.0, 0}, {0.75, 0}, {1.5, 7}, {2.5, 0}, {3.0, 12}, {3.5, 0}};
        for (const auto& [beat, offset] : hits) {
            if (beat < bar.beats) bassNote(bar, beat, 0.45, offset, velocity * (beat == 0.0 ? 1.0f : 0.85f));
        }
    }
    void bassEighths(const Bar& bar, float velocity) {
        for (double b = 0.0; b < bar.beats; b += 0.5)
            bassNote(bar, b, 0.4, 0, velocity * (std::fmod(b, 1.0) == 0.0 ? 1.0f : 0.8f));
    }
    // Chord tones an octave up, up and down in a fixed pattern, panned from side to side.
    void arpeggio(const Bar& bar, double step, float velocity) {
        static const int pattern[] = {0, 1, 2, 3, 1, 2, 3, 2};
        int i = 0;
        for (double b = 0.0; b < bar.beats - 1e-9; b += step, ++i) {
            const int note = bar.chord.voicing[static_cast<std::size_t>(pattern[i % 8])] + 12;
            const float accent = std::fmod(b, 1.0) == 0.0 ? 1.0f : 0.8f;
            score.pluck.push_back({seconds(bar.startBeat + b), seconds(step * 0.8), static_cast<float>(note),
                                   velocity * accent, (i % 2 == 0) ? -0.4f : 0.4f});
        }
    }
    void motif(std::vector<NoteEvent>& track, const Bar& bar, const MotifBar& notes, int transpose, float velocity,
               float pan = 0.0f) {
        for (const MotifNote& n : notes) {
            if (n.beat >= bar.beats) continue;
            track.push_back({seconds(bar.startBeat + n.beat), seconds(std::min(n.beats, bar.beats - n.beat)) - 0.02,
                             static_cast<float>(n.pitch + transpose), velocity, pan});
        }
    }
    void drum(double beat, DrumKind kind, float velocity, float pan = 0.0f, float pitch = 0.0f,
              double lengthBeats = 0.0) {
        score.drums.push_back({seconds(beat), kind, velocity, pan, pitch, seconds(lengthBeats)});
    }
    void fourOnTheFloor(const Bar& bar, float velocity) {
        for (int b = 0; b < static_cast<int>(bar.beats); ++b) drum(bar.startBeat + b, DrumKind::kKick, velocity);
    }
    void backbeat(const Bar& bar, float velocity) {
        for (int b = 1; b < static_cast<int>(bar.beats); b += 2) {
            drum(bar.startBeat + b, DrumKind::kClap, velocity, 0.05f);
            drum(bar.startBeat + b, DrumKind::kSnare, velocity * 0.6f);
        }
    }
    void hats(const Bar& bar, float velocity, bool sixteenths, bool openOffbeats) {
        const double step = sixteenths ? 0.25 : 0.5;
        for (double b = 0.0; b < bar.beats - 1e-9; b += step) {
            const double inBeat = std::fmod(b, 1.0);
            if (openOffbeats && inBeat == 0.5) {
                drum(bar.startBeat + b, DrumKind::kOpenHat, velocity * 0.9f, -0.2f);
                continue;
            }
            if (!sixteenths && inBeat == 0.0) continue;  // eighths: off-beats only
            const float accent = inBeat == 0.0 ? 0.55f : (inBeat == 0.5 ? 1.0f : 0.7f);
            drum(bar.startBeat + b, DrumKind::kClosedHat, velocity * accent, 0.25f);
        }
    }
    // Snare strokes at a steady step between two beats, growing from one velocity to another.
    void roll(double fromBeat, double toBeat, double step, float fromVelocity, float toVelocity) {
        for (double b = fromBeat; b < toBeat - 1e-9; b += step) {
            const auto t = static_cast<float>((b - fromBeat) / (toBeat - fromBeat));
            drum(b, DrumKind::kSnare, fromVelocity + (toVelocity - fromVelocity) * t, 0.1f);
        }
    }
    void riser(double fromBeat, double toBeat, float velocity) {
        drum(fromBeat, DrumKind::kRiser, velocity, 0.0f, 0.0f, toBeat - fromBeat);
    }
    void crash(double beat, float velocity) { drum(beat, DrumKind::kCrash, velocity); }
    void impact(double beat, float velocity) { drum(beat, DrumKind::kImpact, velocity); }
    void cutoff(double beat, float hz) { score.padCutoff.points.emplace_back(seconds(beat), hz); }
};

void composeIntro(Composer& c, const Section& s) {
    const double start = s.startBeat;
    c.cutoff(start, 500.0f);
    c.cutoff(start + 34, 2600.0f);
    for (std::size_t i = 0; i < s.bars.size(); ++i) {
        const Bar& bar = s.bars[i];
        const float grow = 0.75f + 0.25f * static_cast<float>(i) / static_cast<float>(s.bars.size());
        c.pad(bar, grow);
        if (i < 4)
            c.score.bell.push_back(
                {seconds(bar.startBeat), seconds(3.5), static_cast<float>(bar.chord.voicing[3] + 12), 0.7f, 0.3f});
        if (i >= 2 && i <= 8) c.arpeggio(bar, i >= 6 ? 0.25 : 0.5, 0.45f + 0.06f * static_cast<float>(i));
        if (i >= 4 && i <= 8) {
            c.bassHeld(bar, 0.6f);
            c.fourOnTheFloor(bar, 0.75f);
        }
        if (i >= 6 && i <= 8) c.hats(bar, 0.55f, false, false);
        if (i == 4 || i == 5) c.motif(c.score.lead, bar, kMainMotif[i - 4], 0, 0.45f);
    }
    c.riser(start + 28, start + 38, 0.8f);
    c.roll(start + 34, start + 36, 0.5, 0.25f, 0.5f);
    c.roll(start + 36, start + 38, 0.25, 0.5f, 0.95f);
}

void composeGroove(Composer& c, const Bar& bar, float level) {
    c.fourOnTheFloor(bar, level);
    c.backbeat(bar, 0.85f * level);
    c.hats(bar, 0.8f * level, true, true);
    c.bassOffbeats(bar, 0.9f * level);
    c.pad(bar, 0.8f);
}

void composeDrop(Composer& c, const Section& s) {
    c.impact(s.startBeat, 0.9f);
    c.crash(s.startBeat, 0.9f);
    c.cutoff(s.startBeat, 2600.0f);
    for (std::size_t i = 0; i < s.bars.size(); ++i) {
        const Bar& bar = s.bars[i];
        if (bar.beats < 4.0) {
            // The half bar: a tumble down the toms into the breakdown.
            c.pad(bar, 0.7f);
            const float toms[] = {196.0f, 175.0f, 147.0f, 131.0f, 110.0f, 98.0f, 87.0f, 73.0f};
            for (int k = 0; k < 8; ++k)
                c.drum(bar.startBeat + 0.25 * k, DrumKind::kTom, 0.6f + 0.04f * k, 0.6f - 0.15f * k, toms[k]);
            continue;
        }
        composeGroove(c, bar, 1.0f);
        c.arpeggio(bar, 0.25, 0.45f);
        if (i < 8) {
            c.motif(c.score.lead, bar, kMainMotif[i % 4], 0, 0.8f);
        } else {
            c.score.lead.push_back({seconds(bar.startBeat), seconds(3.5), 69.0f, 0.75f, 0.0f});
        }
    }
}

void composeBreakdown(Composer& c, const Section& s) {
    c.crash(s.startBeat, 0.55f);
    c.cutoff(s.startBeat, 900.0f);
    c.cutoff(s.startBeat + 32, 2200.0f);
    c.cutoff(s.startBeat + 44, 3400.0f);
    for (std::size_t i = 0; i < s.bars.size(); ++i) {
        const Bar& bar = s.bars[i];
        c.pad(bar, 0.9f);
        c.bassHeld(bar, 0.5f);
        if (i < 8) {
            c.motif(c.score.lead, bar, kBreakdownMelody[i % 4], 0, 0.55f);
            if (i >= 4) {
                c.motif(c.score.bell, bar, kBreakdownMelody[i % 4], 12, 0.3f, -0.3f);
                c.arpeggio(bar, 0.5, 0.35f);
                c.hats(bar, 0.4f, false, false);
            }
        } else {
            c.motif(c.score.lead, bar, kBreakdownTurn[i - 8], 0, 0.65f);
            c.arpeggio(bar, 0.25, 0.4f + 0.08f * static_cast<float>(i - 8));
            if (i >= 9) {
                for (int b = 0; b < 4; ++b)
                    c.drum(bar.startBeat + b, DrumKind::kKick, 0.7f + 0.1f * static_cast<float>(i - 9));
            }
        }
    }
    const double end = s.startBeat + s.beats;
    c.riser(end - 12, end, 0.9f);
    c.roll(end - 8, end - 4, 0.5, 0.2f, 0.5f);
    c.roll(end - 4, end, 0.25, 0.5f, 0.95f);
}

void composeTheme(Composer& c, const Section& s) {
    c.impact(s.startBeat, 0.8f);
    c.crash(s.startBeat, 0.85f);
    c.cutoff(s.startBeat, 2000.0f);
    for (std::size_t i = 0; i < s.bars.size(); ++i) {
        const Bar& bar = s.bars[i];
        // A broken beat: kick on one, the and of two and the and of three; snare on two and four.
        for (double b : {0.0, 1.5, 2.5}) c.drum(bar.startBeat + b, DrumKind::kKick, 0.9f);
        c.backbeat(bar, 0.75f);
        c.hats(bar, 0.7f, true, false);
        c.bassSyncopated(bar, 0.9f);
        c.pad(bar, 0.7f);
        c.arpeggio(bar, 0.25, 0.38f);
        if (i < 8) {
            c.motif(c.score.bell, bar, kThemeMotif[i % 4], 0, 0.75f, 0.15f);
            if (i >= 4) c.motif(c.score.lead, bar, kThemeMotif[i % 4], -12, 0.35f);
        } else {
            c.motif(c.score.bell, bar, kThemeTurn[i - 8], 0, 0.75f, 0.15f);
            c.motif(c.score.lead, bar, kThemeTurn[i - 8], -12, 0.45f);
        }
    }
}

void composeRise(Composer& c, const Section& s) {
    c.cutoff(s.startBeat, 800.0f);
    c.cutoff(s.startBeat + s.beats, 5000.0f);
    const double steps[] = {0.5, 0.25, 0.125};
    for (std::size_t i = 0; i < s.bars.size(); ++i) {
        const Bar& bar = s.bars[i];
        const auto k = static_cast<float>(i);
        c.pad(bar, 0.8f + 0.1f * k);
        c.bassEighths(bar, 0.8f + 0.07f * k);
        c.fourOnTheFloor(bar, 0.85f);
        c.arpeggio(bar, 0.25, 0.4f + 0.1f * k);
        // The roll stops half a beat early: a breath before the hit.
        const double rollEnd = i + 1 == s.bars.size() ? bar.beats - 0.5 : bar.beats;
        c.roll(bar.startBeat, bar.startBeat + rollEnd, steps[i], 0.35f + 0.2f * k, 0.55f + 0.2f * k);
    }
    c.riser(s.startBeat, s.startBeat + s.beats, 1.0f);
}

void composePeak(Composer& c, const Section& s) {
    c.impact(s.startBeat, 1.0f);
    c.crash(s.startBeat, 1.0f);
    c.cutoff(s.startBeat, 4200.0f);
    // Held and wide, with no hats, claps or arpeggio: the anthem's groove then arrives as news.
    for (std::size_t i = 0; i < s.bars.size(); ++i) {
        const Bar& bar = s.bars[i];
        c.fourOnTheFloor(bar, 1.0f);
        c.bassHeld(bar, 0.95f);
        c.pad(bar, 1.0f);
        c.motif(c.score.lead, bar, kPeakLine[i], 0, 0.85f);
        c.motif(c.score.bell, bar, kPeakLine[i], -12, 0.4f);
    }
    const double end = s.startBeat + s.beats;
    c.roll(end - 1, end, 0.25, 0.4f, 0.8f);
}

void composeAnthem(Composer& c, const Section& s) {
    c.crash(s.startBeat, 0.9f);
    // The opening filter is the lift the credits ride on; at its top the pads add air near 9 kHz.
    c.cutoff(s.startBeat, 5000.0f);
    c.cutoff(s.startBeat + 16, 9000.0f);
    for (std::size_t i = 0; i < s.bars.size(); ++i) {
        const Bar& bar = s.bars[i];
        composeGroove(c, bar, 1.0f);
        c.arpeggio(bar, 0.25, 0.5f);
        c.motif(c.score.lead, bar, kMainMotif[i % 4], 0, 0.85f);
        c.motif(c.score.bell, bar, kMainMotif[i % 4], 12, 0.3f, 0.2f);
        // A second hat on the in-between sixteenths, off to the other side: busier than the peak.
        for (double b = 0.25; b < bar.beats; b += 0.5) c.drum(bar.startBeat + b, DrumKind::kClosedHat, 0.5f, -0.5f);
    }
    const double end = s.startBeat + s.beats;
    c.roll(end - 1, end, 0.25, 0.3f, 0.7f);
}

void composeOutro(Composer& c, const Section& s) {
    // A soft crash only, so the beat's dropping out is what the ear catches.
    c.crash(s.startBeat, 0.4f);
    // The beat drops out and the pads close in; the kick comes back, softer, four bars later.
    c.cutoff(s.startBeat, 1400.0f);
    c.cutoff(s.startBeat + 16, 2400.0f);
    c.cutoff(s.startBeat + 32, 2400.0f);
    c.cutoff(s.startBeat + s.beats, 450.0f);
    for (std::size_t i = 0; i < s.bars.size(); ++i) {
        const Bar& bar = s.bars[i];
        if (i < 4) {
            c.bassHeld(bar, 0.6f);
            c.pad(bar, 0.85f);
            c.motif(c.score.bell, bar, kMainMotif[i % 4], 0, 0.7f, 0.1f);
            c.arpeggio(bar, 0.5, 0.3f);
        } else if (i < 8) {
            c.fourOnTheFloor(bar, 0.7f);
            c.hats(bar, 0.35f, false, false);
            c.bassOffbeats(bar, 0.75f);
            c.pad(bar, 0.75f);
            c.motif(c.score.bell, bar, kMainMotif[i % 4], 0, 0.6f, 0.1f);
            c.arpeggio(bar, 0.5, 0.35f);
        } else if (i < 12) {
            c.pad(bar, 0.75f);
            c.bassHeld(bar, 0.45f);
            c.motif(c.score.bell, bar, kBreakdownMelody[i - 8], 0, 0.55f, 0.1f);
            c.arpeggio(bar, 0.5, 0.25f);
        } else if (i < 14) {
            c.pad(bar, 0.7f);
            c.bassHeld(bar, 0.4f);
        } else if (i == 14) {
            // The last chord, held through the final two bars.
            c.padHeld(bar, 8.0, 0.7f);
            c.bassNote(bar, 0.0, 7.5, 0, 0.4f);
            c.score.bell.push_back({seconds(bar.startBeat), seconds(6.0), 81.0f, 0.5f, 0.0f});
            c.score.bell.push_back({seconds(bar.startBeat + 0.5), seconds(6.0), 76.0f, 0.35f, -0.3f});
        }
    }
}

}  // namespace

float Automation::at(double seconds) const {
    if (points.empty()) return 0.0f;
    if (seconds <= points.front().first) return points.front().second;
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (seconds < points[i].first) {
            const auto& [t0, v0] = points[i - 1];
            const auto& [t1, v1] = points[i];
            const auto u = static_cast<float>((seconds - t0) / (t1 - t0));
            return v0 + (v1 - v0) * u;
        }
    }
    return points.back().second;
}

Score composeScore() {
    Composer c;
    for (const Section& s : arrangement()) {
        switch (s.kind) {
            case SectionKind::kIntro: composeIntro(c, s); break;
            case SectionKind::kDrop: composeDrop(c, s); break;
            case SectionKind::kBreakdown: composeBreakdown(c, s); break;
            case SectionKind::kTheme: composeTheme(c, s); break;
            case SectionKind::kRise: composeRise(c, s); break;
            case SectionKind::kPeak: composePeak(c, s); break;
            case SectionKind::kAnthem: composeAnthem(c, s); break;
            case SectionKind::kOutro: composeOutro(c, s); break;
        }
    }
    // Automation points arrive section by section; a point at a section's start follows the
    // previous section's last one, which keeps them in time order.
    std::stable_sort(c.score.padCutoff.points.begin(), c.score.padCutoff.points.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return c.score;
}

}  // namespace assets
